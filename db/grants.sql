-- The rights of the workstations' database user: reading, adding, changing
-- and removing rows of the program's ten tables, and nothing else (no other
-- table, no schema changes, no administration).
--
-- Run it once as an administrator against the practice's database, after
-- creating the user with a password of the practice's own:
--
--   CREATE USER 'zelstation'@'%' IDENTIFIED BY '...';
--   mariadb -u root -p PRACTICE_DATABASE < grants.sql
--
-- The table names are those of the database the client is started on.
GRANT SELECT, INSERT, UPDATE, DELETE ON `Order Information` TO 'zelstation'@'%';
GRANT SELECT, INSERT, UPDATE, DELETE ON `Order Details` TO 'zelstation'@'%';
GRANT SELECT, INSERT, UPDATE, DELETE ON `Products` TO 'zelstation'@'%';
GRANT SELECT, INSERT, UPDATE, DELETE ON `Product Group` TO 'zelstation'@'%';
GRANT SELECT, INSERT, UPDATE, DELETE ON `Employee Data` TO 'zelstation'@'%';
GRANT SELECT, INSERT, UPDATE, DELETE ON `Status Table` TO 'zelstation'@'%';
GRANT SELECT, INSERT, UPDATE, DELETE ON `tblGlobalSysConfig` TO 'zelstation'@'%';
GRANT SELECT, INSERT, UPDATE, DELETE ON `tblSysConfig` TO 'zelstation'@'%';
GRANT SELECT, INSERT, UPDATE, DELETE ON `Transaction` TO 'zelstation'@'%';
GRANT SELECT, INSERT, UPDATE, DELETE ON `Live Quotation Search Selected Sales Rep` TO 'zelstation'@'%';
