-- Tables the purchasing program reads and writes. The practice's other
-- programs share them; the program itself never creates or alters a table.
-- Loaded once into a fresh database (the demo and the test servers).

CREATE TABLE `Order Information` (
  `Quote ID`            INT NOT NULL AUTO_INCREMENT,
  `Customer Ref`        VARCHAR(50) NOT NULL,
  `Quoted Date`         DATETIME NULL,
  `Customer Shortname`  VARCHAR(30) NULL,
  `Customer Name`       VARCHAR(100) NULL,
  `Street`              VARCHAR(100) NULL,
  `Street2`             VARCHAR(100) NULL,
  `Town`                VARCHAR(50) NULL,
  `County/Postcode`     VARCHAR(50) NULL,
  `CUSTOMER ID`         INT NULL,
  `Account No`          VARCHAR(30) NULL,
  `Title`               VARCHAR(20) NULL,
  `Initial`             VARCHAR(10) NULL,
  `Contact Name`        VARCHAR(100) NULL,
  `Position/Department` VARCHAR(100) NULL,
  `Telephone`           VARCHAR(40) NULL,
  `Sales Rep`           VARCHAR(30) NULL,
  `Name`                VARCHAR(100) NULL,
  `Shipped To`          VARCHAR(100) NULL,
  `Shipto id`           INT NULL,
  `InvoiceTo`           INT NULL,
  `Status`              INT NULL,
  `Discount`            DOUBLE NULL,
  `VAT`                 DOUBLE NULL,
  `package price`       DECIMAL(19,4) NULL,
  `Grand Total`         DECIMAL(19,4) NULL,
  PRIMARY KEY (`Quote ID`),
  KEY `ix_customer_ref` (`Customer Ref`),
  -- The finder's date searches read every column they list from this index,
  -- in the order they show it.
  KEY `ix_quoted_date` (`Quoted Date`, `Quote ID`, `Customer Ref`, `Grand Total`, `Status`),
  KEY `ix_sales_rep` (`Sales Rep`),
  -- The outstanding deliveries list reads the approved orders, with what it
  -- shows of them, from this index alone; each status's orders stay in the
  -- order of their keys, as they were with the status alone.
  KEY `ix_status` (`Status`, `Quote ID`, `Customer Name`, `Customer Shortname`,
                   `Account No`, `Customer Ref`, `Quoted Date`),
  -- The last prices paid read each order's supplier, date and reference
  -- here: a few pages, where the orders themselves fill the whole table.
  KEY `ix_order_supplier` (`Quote ID`, `Account No`, `Quoted Date`, `Customer Ref`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- A line added with only its order and product gets a price, quantity,
-- discount and booked-in quantity of 0, so its extended price is 0.00 and
-- its outstanding quantity equals its quantity.
CREATE TABLE `Order Details` (
  `ID`            INT NOT NULL AUTO_INCREMENT,
  `Order ID`      INT NOT NULL DEFAULT 0,
  `Product ID`    INT NULL,
  `Part Id`       VARCHAR(50) NULL,
  `Description`   VARCHAR(255) NULL,
  `Unit Price`    DECIMAL(19,4) NULL DEFAULT 0,
  `Quantity`      INT NULL DEFAULT 0,
  `Discount`      DOUBLE NULL DEFAULT 0,
  `Parts Status`  INT NULL,
  `Qty BI`        INT NULL DEFAULT 0,
  `Date BI`       DATETIME NULL,
  `Notes`         VARCHAR(255) NULL,
  `Loc`           VARCHAR(50) NULL,
  `GoodsDel`      TINYINT NULL DEFAULT 0,
  `GoodsDelNotes` TEXT NULL,
  `DueDate`       DATETIME NULL,
  PRIMARY KEY (`ID`),
  -- An order's lines, in the order of their keys; the outstanding deliveries
  -- list finds the lines still to come, and counts them, from this index alone.
  KEY `ix_order_id` (`Order ID`, `ID`, `Quantity`, `Qty BI`, `DueDate`),
  -- The last prices paid for a product read its lines' orders and prices
  -- from this index alone.
  KEY `ix_product_id` (`Product ID`, `Order ID`, `Unit Price`),
  KEY `ix_part_id` (`Part Id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE `Products` (
  `Product ID`    INT NOT NULL AUTO_INCREMENT,
  `Product Name`  VARCHAR(50) NULL,
  `English Name`  VARCHAR(255) NULL,
  `QuoteDescName` VARCHAR(255) NULL,
  `QuoteDesc`     TINYINT NULL DEFAULT 0,
  `Unit Price`    DECIMAL(19,4) NULL DEFAULT 0,
  `group id`      INT NULL,
  PRIMARY KEY (`Product ID`),
  KEY `ix_product_name` (`Product Name`),
  KEY `ix_english_name` (`English Name`),
  KEY `ix_group_id` (`group id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE `Product Group` (
  `analcode` INT NOT NULL AUTO_INCREMENT,
  `desc`     VARCHAR(100) NULL,
  PRIMARY KEY (`analcode`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE `Employee Data` (
  `Employee ID`      INT NOT NULL AUTO_INCREMENT,
  `Payroll ID`       INT NULL,
  `Previous Surname` VARCHAR(30) NULL,
  `Forenames`        VARCHAR(100) NULL,
  `Surname`          VARCHAR(50) NULL,
  `Address1`         VARCHAR(100) NULL,
  `Address2`         VARCHAR(100) NULL,
  `Town`             VARCHAR(50) NULL,
  `County`           VARCHAR(50) NULL,
  `Post Code`        VARCHAR(20) NULL,
  `Country`          VARCHAR(50) NULL,
  `Telephone No`     VARCHAR(40) NULL,
  `Fax`              VARCHAR(40) NULL,
  `Business No`      VARCHAR(40) NULL,
  `E-Mail`           VARCHAR(100) NULL,
  `WebSite`          VARCHAR(100) NULL,
  `Cost Centre`      VARCHAR(30) NULL,
  `Type`             VARCHAR(20) NULL,
  PRIMARY KEY (`Employee ID`),
  KEY `ix_payroll_id` (`Payroll ID`),
  KEY `ix_type` (`Type`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE `Status Table` (
  `ID`                 INT NOT NULL AUTO_INCREMENT,
  `Status Letter`      VARCHAR(5) NULL,
  `Status Description` VARCHAR(50) NULL,
  PRIMARY KEY (`ID`),
  KEY `ix_status_letter` (`Status Letter`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE `tblGlobalSysConfig` (
  `Item`        VARCHAR(50) NOT NULL,
  `TextValue`   TEXT NULL,
  `NumberValue` BIGINT NULL,
  PRIMARY KEY (`Item`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE `tblSysConfig` (
  `Item`      VARCHAR(50) NOT NULL,
  `TextValue` TEXT NULL,
  PRIMARY KEY (`Item`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE `Transaction` (
  `id`            INT NOT NULL AUTO_INCREMENT,
  `AccountHolder` DOUBLE NULL,
  `Ref`           DOUBLE NULL,
  `TypeRef`       DOUBLE NULL,
  `Item`          VARCHAR(255) NULL,
  `Cinout`        DECIMAL(19,4) NULL,
  `DCinout`       SMALLINT NULL,
  `Type`          VARCHAR(50) NULL,
  `Date`          DATETIME NULL,
  `CostPool`      SMALLINT NULL,
  PRIMARY KEY (`id`),
  KEY `ix_ref` (`Ref`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE `Live Quotation Search Selected Sales Rep` (
  `Rep Code` VARCHAR(30) NULL,
  `Rep Name` VARCHAR(100) NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
