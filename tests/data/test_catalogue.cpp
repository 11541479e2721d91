// The catalogue's statements, run as the part finder and the product entry
// run them.
#include "connection/database.h"
#include "data/catalogue.h"
#include "support/testdb.h"

using namespace zel;
using namespace zel::test;

namespace {

qlonglong productOf(const QString& code, const QString& name, double price = 0) {
    return gConn().insert("INSERT INTO `Products` (`Product Name`, `English Name`, `Unit Price`) "
                          "VALUES (?, ?, ?)",
                          {code, name, price});
}

QStringList codes(const RowSet& rs) {
    QStringList out;
    for (int r = 0; r < rs.size(); ++r)
        out << rs.at(r, "Product Name").toString();
    return out;
}

} // namespace

class CatalogueDataTest : public DbTest {
protected:
    Seed seed() const override { return Seed::Empty; }
};

TEST_F(CatalogueDataTest, SelectorsAndLookUpsFindTheFirstProductById) {
    const qlonglong first = productOf("B-2", "Bur");
    productOf("A-1", "Bur fine");
    productOf("B-2", "Bur again");
    productOf("C-3", "Cement");

    const products::Selector byName = products::selectorBy("English Name", 2);
    // A page of the matches, in the column's order, no longer than asked.
    EXPECT_EQ(codes(gConn().select(byName.matchSql, {"%Bur%"})), (QStringList{"B-2", "B-2"}));
    EXPECT_EQ(codes(gConn().select(byName.keySql, {"Cement"})), QStringList{"C-3"});

    const RowSet rs = products::firstBy("Product Name", "B-2");
    ASSERT_EQ(rs.size(), 1);
    EXPECT_EQ(rs.at(0, "Product Id").toLongLong(), first);
    EXPECT_EQ(rs.at(0, "English Name").toString(), "Bur");
    EXPECT_TRUE(products::firstBy("Product Name", "NONE").isEmpty());
}

TEST_F(CatalogueDataTest, AnUpdateWritesOnlyTheColumnsGiven) {
    const qlonglong id = productOf("X-1", "Old name", 5);
    gConn().execute("UPDATE `Products` SET QuoteDescName = 'Practice' WHERE `Product ID` = ?",
                    {id});
    products::update(id, {{"English Name", "New name"}, {"Unit Price", 7.25}});
    products::update(id, {});
    const RowSet rs = products::firstBy("Product Name", "X-1");
    EXPECT_EQ(rs.at(0, "English Name").toString(), "New name");
    EXPECT_EQ(rs.at(0, "QuoteDescName").toString(), "Practice");
    EXPECT_DOUBLE_EQ(rs.at(0, "Unit Price").toDouble(), 7.25);
}

TEST_F(CatalogueDataTest, AProductGoesOnAnOrderOnce) {
    const qlonglong product = productOf("L-1", "Liner", 3);
    const qint64 order = gConn().insert("INSERT INTO `Order Information` (`Customer Ref`) "
                                        "VALUES ('O-1')");
    const products::Line line{order, product, "L-1", 3.5, "Liner", 4};
    EXPECT_TRUE(products::addLine(line));
    EXPECT_FALSE(products::addLine(line));
    ASSERT_EQ(count("Order Details", "`Order ID` = ?", {order}), 1);
    const RowSet rs = gConn().select("SELECT * FROM `Order Details` WHERE `Order ID` = ?", {order});
    EXPECT_EQ(rs.at(0, "Quantity").toDouble(), 1);
    EXPECT_EQ(rs.at(0, "Discount").toDouble(), 0);
    EXPECT_EQ(rs.at(0, "Parts Status").toInt(), 4);
    EXPECT_DOUBLE_EQ(rs.at(0, "Unit Price").toDouble(), 3.5);
    // Another order takes the same product.
    const qint64 other = gConn().insert("INSERT INTO `Order Information` (`Customer Ref`) "
                                        "VALUES ('O-2')");
    EXPECT_TRUE(products::addLine({other, product, "L-1", 3, "Liner", {}}));
}

TEST_F(CatalogueDataTest, SavingACodeAddsItOrOverwritesItsFirstProduct) {
    const qlonglong group =
        gConn().insert("INSERT INTO `Product Group` (`desc`) VALUES ('Consumables')");
    const RowSet groups = gConn().select(products::groupsStatement());
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(groups.at(0, "desc").toString(), "Consumables");

    EXPECT_EQ(products::save({"N-1", "New", 2, "Practice new", true, group}),
              products::Saved::Added);
    const RowSet added = products::firstBy("Product Name", "N-1");
    EXPECT_EQ(added.at(0, "QuoteDesc").toInt(), 1);
    EXPECT_EQ(added.at(0, "group id").toLongLong(), group);

    const qlonglong first = productOf("D-1", "Twin one");
    const qlonglong second = productOf("D-1", "Twin two");
    EXPECT_EQ(products::save({"D-1", "Replaced", {}, {}, false, {}}), products::Saved::Replaced);
    EXPECT_EQ(one("SELECT `English Name` FROM Products WHERE `Product ID` = ?", {first}),
              "Replaced");
    EXPECT_EQ(one("SELECT `English Name` FROM Products WHERE `Product ID` = ?", {second}),
              "Twin two");
    EXPECT_EQ(count("Products"), 3);
}
