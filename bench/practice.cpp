#include "practice.h"
#include "data/schema.h"

#include <QDateTime>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <array>
#include <cmath>

namespace zel::bench {

using schema::q;

// ---- the practice's people and catalogue ---------------------------------

namespace {

struct Supplier {
    const char* code; // the prefix of its product codes and order references
    const char* shortname;
    const char* name;
    const char* street;
    const char* street2;
    const char* town;
    const char* county;
    const char* postcode;
    const char* telephone;
    const char* title;
    const char* contact;
    const char* position;
    int group;  // what it mostly sells
    int weight; // how often the practice orders from it
};

const std::array<Supplier, 12> suppliers = {{
    {"BRK", "BRACKEN", "Bracken Dental Supplies Ltd", "Unit 7 Meadow Lane Trading Estate",
     "Hunslet", "Leeds", "West Yorkshire", "LS10 1QP", "0113 496 0811", "Mr", "David Ashworth",
     "Sales Manager", 10, 18},
    {"RIV", "RIVERSIDE", "Riverside Endodontics Ltd", "3 Quayside Court", "Castlefield",
     "Manchester", "Greater Manchester", "M3 4JR", "0161 496 0922", "Ms", "Laura Bennett",
     "Account Manager", 20, 14},
    {"MOU", "MOULDCRAFT", "Mouldcraft Impression Materials", "Unit 11 Riverway Park", "Aston Cross",
     "Birmingham", "West Midlands", "B6 5RL", "0121 496 0333", "Mr", "Stephen Price",
     "Technical Sales", 30, 10},
    {"STE", "STERIGUARD", "Steriguard Infection Control Ltd", "Block C, Pentland Business Park",
     "Loanhead", "Edinburgh", "Midlothian", "EH20 9QR", "0131 496 0444", "Mrs", "Alison McKay",
     "Customer Services", 40, 9},
    {"ALN", "ALIGNWELL", "Alignwell Orthodontics Ltd", "Fairfield Works, 18 Lower Road", "Beeston",
     "Nottingham", "Nottinghamshire", "NG9 2GT", "0115 496 0555", "Mr", "Rajesh Patel",
     "Orthodontic Specialist", 50, 6},
    {"HAL", "HALLAM", "Hallam Surgical Instruments", "42 Cutlers Walk", nullptr, "Sheffield",
     "South Yorkshire", "S1 4PL", "0114 496 0666", "Mr", "Peter Lockwood", "Director", 60, 8},
    {"CLE", "CLEARWAY", "Clearway Disposables Ltd", "Unit 2 Thameside Park", "Purfleet Road",
     "Aveley", "Essex", "RM15 4YA", "01708 496 077", "Ms", "Kerry Doyle", "Key Accounts", 70, 15},
    {"DEN", "DENTAFORM", "Dentaform Prosthetics Supply", "Mill 5, Salts Wharf", "Saltaire",
     "Shipley", "West Yorkshire", "BD18 3LA", "01274 496 088", "Mr", "Gareth Lewis",
     "Laboratory Sales", 80, 5},
    {"SEV", "SEVERN", "Severn Dental Wholesale", "9 Temple Quay Gate", nullptr, "Bristol", "Avon",
     "BS1 6DZ", "0117 496 0199", "Dr", "Nicola Evans", "Clinical Adviser", 10, 4},
    {"TAF", "TAFF VALLEY", "Taff Valley Dental Co", "Unit 4 Parc Nantgarw", "Nantgarw", "Cardiff",
     "South Glamorgan", "CF15 7QU", "029 2049 6010", "Mr", "Owen Morgan", "Sales", 40, 3},
    {"OBR", "O'BRIEN", "O'Brien & Sons Dental Ltd", "Liffey House, 27 Dock Road", "Wapping",
     "Liverpool", "Merseyside", "L3 4BX", "0151 496 0211", "Mr", "Ciaran O'Brien", "Director", 70,
     5},
    {"NGT", "NORTHGATE", "Northgate Dental Distribution", "Tyne Point, Unit 9", "Team Valley",
     "Gateshead", "Tyne and Wear", "NE11 0XA", "0191 498 0312", "Mrs", "Janet Robson", "Order Desk",
     20, 3},
}};

struct Practice {
    const char* shortname;
    const char* name;
    const char* street;
    const char* area;
    const char* postcode;
    const char* telephone;
};

const std::array<Practice, 3> practices = {{
    {"HEAD OFFICE", "Zel Dental Practice", "Parkside House, 22 Park Square East", "City Centre",
     "LS1 2NE", "0113 496 0120"},
    {"HEADINGLEY", "Zel Dental Practice Headingley", "41 Otley Road", "Headingley", "LS6 3AB",
     "0113 496 0340"},
    {"ROUNDHAY", "Zel Dental Practice Roundhay", "118 Street Lane", "Roundhay", "LS8 2AL",
     "0113 496 0560"},
}};

struct Dentist {
    const char* forenames;
    const char* surname;
    int practice;
};

const std::array<Dentist, 8> dentists = {{
    {"Helen", "Marsh", 0},
    {"Daniel", "Okoro", 0},
    {"Aisha", "Rahman", 1},
    {"Michael", "Brennan", 1},
    {"Sophie", "Clarke", 2},
    {"Tomasz", "Nowak", 2},
    {"Fiona", "Gallagher", 0},
    {"Rhys", "Griffiths", 1},
}};

const std::array<std::pair<int, const char*>, 8> groups = {{
    {10, "Restorative"},
    {20, "Endodontics"},
    {30, "Impression Materials"},
    {40, "Infection Control"},
    {50, "Orthodontics"},
    {60, "Instruments"},
    {70, "Disposables"},
    {80, "Prosthetics"},
}};

// A kind of product in the catalogue; each variant is a product of its own.
struct Item {
    int group;
    const char* english; // %1 takes the variant
    const char* quote;   // the short name on quotes, %1 likewise
    double price;
    std::vector<const char*> variants;
};

const std::vector<Item>& catalogue() {
    static const std::vector<Item> items = {
        {10,
         "Universal nano-hybrid composite syringe 4g shade %1",
         "Composite %1 4g",
         31.95,
         {"A1", "A2", "A3", "A3.5", "B1", "B2", "C2", "D2"}},
        {10,
         "Flowable composite 2 x 2g syringes shade %1",
         "Flowable %1",
         38.40,
         {"A1", "A2", "A3", "B1", "OA2"}},
        {10,
         "Glass ionomer restorative capsules shade %1 (50)",
         "GIC capsules %1",
         96.00,
         {"A2", "A3", "B2"}},
        {10,
         "Universal bonding agent %1",
         "Bond %1",
         54.00,
         {"5ml bottle", "single dose (50)", "refill 3ml"}},
        {10,
         "Sectional matrix bands %1 (50)",
         "Matrix bands %1",
         28.00,
         {"4.5mm", "5.5mm", "6.5mm"}},
        {20,
         "Stainless steel K-files %1 (6)",
         "K-files %1",
         5.35,
         {"21mm ISO 08", "21mm ISO 10", "21mm ISO 15", "25mm ISO 08", "25mm ISO 10", "25mm ISO 15",
          "25mm ISO 20"}},
        {20,
         "Rotary NiTi files %1 (6)",
         "Rotary files %1",
         47.50,
         {"21mm 20/.06", "21mm 25/.06", "25mm 30/.06", "25mm 40/.04"}},
        {20, "Gutta percha points %1 (60)", "GP points %1", 9.80, {"25/.06", "30/.06", "40/.04"}},
        {20, "Paper points %1 (200)", "Paper points %1", 7.90, {"fine", "medium", "coarse"}},
        {30,
         "Addition silicone putty %1 2 x 300ml",
         "A-silicone putty %1",
         46.20,
         {"soft", "regular", "fast set"}},
        {30,
         "Alginate impression material %1 500g",
         "Alginate %1",
         8.40,
         {"regular set", "fast set", "dust free"}},
        {30,
         "Perforated plastic stock trays %1 (12)",
         "Stock trays %1",
         11.20,
         {"upper small", "upper large", "lower small", "lower large"}},
        {30, "Mixing tips %1 (50)", "Mix tips %1", 14.60, {"pink", "yellow", "green"}},
        {40,
         "Nitrile examination gloves %1 (200)",
         "Nitrile gloves %1",
         9.95,
         {"extra small", "small", "medium", "large", "extra large"}},
        {40,
         "Surface disinfectant wipes %1",
         "Surface wipes %1",
         6.80,
         {"canister (200)", "refill (200)", "large (100)"}},
        {40,
         "Sterilisation pouches self-seal %1 (200)",
         "Autoclave pouches %1",
         7.45,
         {"57 x 130mm", "90 x 260mm", "135 x 280mm"}},
        {40, "Type IIR surgical masks %1 (50)", "Masks IIR %1", 7.10, {"ear loop", "tie-on"}},
        {50,
         "Metal brackets MBT .022 slot %1 (kit of 10)",
         "Brackets MBT %1",
         42.00,
         {"upper 5-5", "lower 5-5"}},
        {50,
         "Molar buccal tubes weldable %1 (10)",
         "Buccal tubes %1",
         24.30,
         {"UR6", "UL6", "LR6", "LL6"}},
        {50,
         "Nickel titanium archwires %1 (10)",
         "NiTi wires %1",
         18.90,
         {"upper .014", "upper .016", "lower .014", "lower .016"}},
        {60, "Gracey curette %1", "Gracey %1", 22.40, {"1/2", "5/6", "7/8", "11/12", "13/14"}},
        {60, "Mouth mirror heads %1 (12)", "Mirror heads %1", 16.50, {"size 4", "size 5"}},
        {60,
         "Extraction forceps %1",
         "Forceps %1",
         64.00,
         {"upper molars", "lower molars", "upper roots", "lower roots"}},
        {70, "Saliva ejectors %1 (100)", "Saliva ejectors %1", 3.20, {"white/blue", "clear"}},
        {70, "Patient bibs 2-ply %1 (500)", "Bibs %1", 19.80, {"blue", "green", "lilac"}},
        {70, "Cotton rolls %1 (1000)", "Cotton rolls %1", 4.25, {"no. 1", "no. 2"}},
        {70,
         "Prophy angles disposable %1 (100)",
         "Prophy angles %1",
         27.50,
         {"soft cup", "firm cup"}},
        {80,
         "Acrylic denture teeth %1 (set of 28)",
         "Denture teeth %1",
         18.75,
         {"A2 medium", "A3 large", "B2 small"}},
        {80, "Heat cure acrylic %1 1kg", "Heat cure %1", 36.50, {"pink", "pink veined", "clear"}},
        {80, "Dental stone %1 5kg", "Stone %1", 29.90, {"type III", "type IV"}},
    };
    return items;
}

const std::array<const char*, 8> locations = {"Store A",   "Store B", "Surgery 1",  "Surgery 2",
                                              "Surgery 3", "Lab",     "Decon room", "Reception"};
const std::array<const char*, 7> lineNotes = {"Urgent - running low",  "For implant clinic",
                                              "Hygienist clinic",      "Check shade before opening",
                                              "Replace damaged stock", "Trial pack",
                                              "Confirm price with rep"};
const std::array<const char*, 5> deliveryNotes = {
    "Left with practice manager", "Box damaged, contents fine", "Signed for at reception",
    "Short delivered, balance to follow", "Delivered to Lab"};

// Statuses as the Status Table numbers them.
enum Status {
    Approved = 1,
    Pending = 2,
    Ordered = 3,
    Delivered = 4,
    Cancelled = 5,
    BackOrdered = 6
};

QVariant text(const char* s) {
    return s ? QVariant(QString::fromUtf8(s)) : QVariant();
}

const QStringList& orderColumns() {
    static const QStringList cols = schema::columns(schema::OrderInformation);
    return cols;
}
const QStringList& lineColumns() {
    static const QStringList cols = schema::columns(schema::OrderDetails);
    return cols;
}

} // namespace

PracticeGenerator::PracticeGenerator(Database& db, unsigned seed) : db_(db), rng_(seed) {}

std::unique_ptr<RowSink> PracticeGenerator::sink(const QString& table, const QStringList& columns) {
    if (!fast_)
        return std::make_unique<BatchInserter>(db_, table, columns);
    if (!folder_) {
        folder_ = std::make_unique<QTemporaryDir>();
        if (!folder_->isValid())
            throw std::runtime_error("no temporary folder for the files to load");
        // The server, running as another process, reads the files.
        QFile::setPermissions(folder_->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                   QFileDevice::ExeOther);
    }
    return std::make_unique<FileLoader>(db_, folder_->path(), table, columns);
}

void PracticeGenerator::emptyTables() {
    for (const QString& t :
         {schema::OrderInformation, schema::OrderDetails, schema::Products, schema::ProductGroup,
          schema::EmployeeData, schema::StatusTable, schema::GlobalSysConfig, schema::SysConfig,
          schema::Transaction, schema::SelectedSalesRep})
        db_.execute(QStringLiteral("TRUNCATE TABLE %1").arg(q(t)));
    counts_ = {};
}

void PracticeGenerator::referenceData() {
    db_.transaction([&] {
        BatchInserter people(db_, schema::EmployeeData, schema::columns(schema::EmployeeData));
        int id = 0;
        for (std::size_t i = 0; i < practices.size(); ++i) {
            const Practice& p = practices[i];
            people.add(
                {++id, int(101 + i), text(p.shortname), text(p.name), QVariant(), text(p.street),
                 text(p.area), QStringLiteral("Leeds"), QStringLiteral("West Yorkshire"),
                 text(p.postcode), QStringLiteral("United Kingdom"), text(p.telephone), QVariant(),
                 QVariant(), QStringLiteral("accounts@zeldental.co.uk"),
                 QStringLiteral("www.zeldental.co.uk"), QVariant(), QStringLiteral("Practice")});
        }
        for (std::size_t i = 0; i < suppliers.size(); ++i) {
            const Supplier& s = suppliers[i];
            const QString domain =
                QString::fromUtf8(s.shortname).toLower().remove(u' ').remove(u'\'');
            people.add(
                {++id, int(1001 + i), text(s.shortname), text(s.name), QVariant(), text(s.street),
                 text(s.street2), text(s.town), text(s.county), text(s.postcode),
                 QStringLiteral("United Kingdom"), text(s.telephone), QVariant(),
                 QStringLiteral("GB %1 %2 %3").arg(100 + 37 * i).arg(4000 + 311 * i).arg(10 + i),
                 QStringLiteral("orders@%1.co.uk").arg(domain),
                 QStringLiteral("www.%1.co.uk").arg(domain), QVariant(),
                 QStringLiteral("Supplier")});
        }
        for (std::size_t i = 0; i < dentists.size(); ++i) {
            const Dentist& d = dentists[i];
            const Practice& p = practices[d.practice];
            people.add({++id, int(2001 + i), QString::fromUtf8(d.surname).toUpper(),
                        text(d.forenames), text(d.surname), text(p.street), text(p.area),
                        QStringLiteral("Leeds"), QStringLiteral("West Yorkshire"), text(p.postcode),
                        QStringLiteral("United Kingdom"), text(p.telephone), QVariant(), QVariant(),
                        QStringLiteral("%1.%2@zeldental.co.uk")
                            .arg(QString::fromUtf8(d.forenames).toLower(),
                                 QString::fromUtf8(d.surname).toLower()),
                        QVariant(), QStringLiteral("CC-SURG%1").arg(i + 1),
                        QStringLiteral("Dentist")});
        }
        people.flush();

        BatchInserter statuses(db_, schema::StatusTable, schema::columns(schema::StatusTable));
        statuses.add({Approved, QStringLiteral("A"), QStringLiteral("Approved")});
        statuses.add({Pending, QStringLiteral("P"), QStringLiteral("Pending Approval")});
        statuses.add({Ordered, QStringLiteral("O"), QStringLiteral("Ordered")});
        statuses.add({Delivered, QStringLiteral("D"), QStringLiteral("Delivered")});
        statuses.add({Cancelled, QStringLiteral("C"), QStringLiteral("Cancelled")});
        statuses.add({BackOrdered, QStringLiteral("B"), QStringLiteral("Back Ordered")});
        statuses.flush();

        BatchInserter productGroups(db_, schema::ProductGroup,
                                    schema::columns(schema::ProductGroup));
        for (const auto& [code, desc] : groups)
            productGroups.add({code, text(desc)});
        productGroups.flush();

        BatchInserter global(db_, schema::GlobalSysConfig,
                             schema::columns(schema::GlobalSysConfig));
        global.add({QStringLiteral("PatNo"), QVariant(), 2008});
        global.add({QStringLiteral("POSuppliersAdditionalText"),
                    QStringLiteral("Please quote our purchase order number on all delivery notes "
                                   "and invoices. Deliver between 9am and 5pm, Monday to Friday."),
                    -33});
        global.flush();
        BatchInserter local(db_, schema::SysConfig, schema::columns(schema::SysConfig));
        local.add({QStringLiteral("ServerDB"), QStringLiteral("localhost")});
        local.add({QStringLiteral("StockControl"), QStringLiteral("")});
        local.flush();
    });
}

void PracticeGenerator::products(int count) {
    productsBySupplier_.assign(suppliers.size(), {});
    productCode_.assign(count + 1, {});
    productDesc_.assign(count + 1, {});
    productPrice_.assign(count + 1, 0);

    // Each supplier's share of the catalogue, mostly from its own line of goods.
    QHash<int, std::vector<const Item*>> itemsByGroup;
    for (const Item& item : catalogue())
        itemsByGroup[item.group].push_back(&item);

    db_.transaction([&] {
        BatchInserter rows(db_, schema::Products, schema::columns(schema::Products));
        for (int id = 1; id <= count; ++id) {
            const int s = (id - 1) % int(suppliers.size());
            const int group = chance(0.75) ? suppliers[s].group : groups[pick(0, 7)].first;
            const auto& items = itemsByGroup[group];
            const Item& item = *items[pick(0, int(items.size()) - 1)];
            const QString variant =
                QString::fromUtf8(item.variants[pick(0, int(item.variants.size()) - 1)]);
            const QString code =
                QStringLiteral("%1-%2").arg(QString::fromLatin1(suppliers[s].code)).arg(10000 + id);
            const QString english = QString::fromUtf8(item.english).arg(variant);
            const QString quote = QString::fromUtf8(item.quote).arg(variant);
            // Prices differ between suppliers by up to a quarter, in steps of 5p.
            const qint64 price =
                qint64(std::llround(item.price * (0.85 + 0.4 * pick(0, 100) / 100.0) * 20)) * 500;
            rows.add({id, code, english, chance(0.9) ? QVariant(quote) : QVariant(),
                      chance(0.6) ? 1 : 0, QString::number(price / 10000.0, 'f', 2), group});
            productsBySupplier_[s].push_back(id);
            productCode_[id] = code;
            productDesc_[id] = quote;
            productPrice_[id] = price;
        }
        rows.flush();
        counts_.products = rows.rowsSent();
    });
}

void PracticeGenerator::orders(int count, int linesPerOrder,
                               const std::function<void(const GenerationCounts&)>& progress) {
    if (productCode_.size() < 2)
        throw std::logic_error("the products are generated before the orders");
    const QDate first(2019, 1, 1), last(2025, 12, 31);
    const qint64 days = first.daysTo(last) + 1;
    std::vector<int> weights;
    for (const auto& s : suppliers)
        weights.push_back(s.weight);
    std::discrete_distribution<int> supplierOf(weights.begin(), weights.end());
    const int fewest = std::max(1, linesPerOrder - linesPerOrder / 2);
    const int most = linesPerOrder + linesPerOrder / 2;

    QHash<QString, int> refCounter; // per supplier and year
    qint64 lineId = counts_.lines, postingId = counts_.postings;
    constexpr int ordersPerTransaction = 500;

    // On the fast path the indexes are built once, after the last load.
    std::vector<std::unique_ptr<IndexesOff>> indexes;
    if (fast_) {
        db_.execute(QStringLiteral("SET SESSION unique_checks = 0, foreign_key_checks = 0"));
        for (const QString& t :
             {schema::OrderInformation, schema::OrderDetails, schema::Transaction})
            indexes.push_back(std::make_unique<IndexesOff>(db_, t));
    }
    const auto headers = sink(schema::OrderInformation, orderColumns());
    const auto lines = sink(schema::OrderDetails, lineColumns());
    const auto postings = sink(schema::Transaction, schema::columns(schema::Transaction));

    for (int from = 0; from < count; from += ordersPerTransaction) {
        const int to = std::min(count, from + ordersPerTransaction);
        const auto block = [&] {
            for (int k = from; k < to; ++k) {
                const int quoteId = int(counts_.orders) + k + 1;
                const QDate date = first.addDays(qint64(k) * days / count);
                const QDateTime quoted = date.startOfDay();
                const int s = supplierOf(rng_);
                const Supplier& sup = suppliers[s];
                const int dentist = pick(0, int(dentists.size()) - 1);
                const Dentist& dt = dentists[dentist];
                const Practice& shipTo = practices[dt.practice];
                const QString key = QStringLiteral("%1/%2").arg(s).arg(date.year());
                const QString ref = QStringLiteral("%1/%2/%3")
                                        .arg(QString::fromLatin1(sup.code))
                                        .arg(date.year() % 100, 2, 10, QChar(u'0'))
                                        .arg(++refCounter[key], 5, 10, QChar(u'0'));

                // The newest orders are still moving; older ones were delivered or cancelled.
                const double age = double(k) / count;
                int status;
                if (age > 0.985) {
                    const int r = pick(1, 10);
                    status = r <= 4 ? Pending : r <= 7 ? Approved : r <= 9 ? Ordered : BackOrdered;
                } else {
                    status = chance(0.05) ? Cancelled : Delivered;
                }
                const int discount = chance(0.7) ? 0 : chance(0.66) ? 5 : 10;
                const int vat = 20;

                double net = 0;
                const auto& range = productsBySupplier_[s];
                const int n = pick(fewest, most);
                for (int l = 0; l < n; ++l) {
                    const int product = range[pick(0, int(range.size()) - 1)];
                    const int qty = chance(0.9) ? pick(1, 12) : (chance(0.5) ? 20 : 50);
                    const double lineDiscount = chance(0.8) ? 0.0 : chance(0.6) ? 0.05 : 0.1;
                    const double price = productPrice_[product] / 10000.0;
                    net += std::round(price * qty * (1 - lineDiscount) * 100) / 100;

                    int partsStatus = status, booked = 0;
                    if (status == Delivered || (status == BackOrdered && chance(0.5))) {
                        partsStatus = Delivered;
                        booked = qty;
                    } else if (status == BackOrdered) {
                        booked = pick(0, qty - 1);
                    }
                    const bool arrived = booked > 0;
                    const QDateTime bookedAt =
                        QDateTime(date.addDays(pick(2, 9)), QTime(9, 0).addSecs(900 * pick(0, 32)));
                    lines->add(
                        {++lineId, quoteId, product, productCode_[product], productDesc_[product],
                         QString::number(price, 'f', 2), qty, lineDiscount, partsStatus, booked,
                         arrived ? QVariant(bookedAt) : QVariant(),
                         chance(0.06) ? text(lineNotes[pick(0, int(lineNotes.size()) - 1)])
                                      : QVariant(),
                         arrived ? text(locations[pick(0, int(locations.size()) - 1)]) : QVariant(),
                         partsStatus == Delivered ? 1 : 0,
                         arrived && chance(0.03)
                             ? text(deliveryNotes[pick(0, int(deliveryNotes.size()) - 1)])
                             : QVariant(),
                         date.addDays(pick(2, 7)).startOfDay()});
                }
                const double total =
                    std::round(net * (1 - discount / 100.0) * (1 + vat / 100.0) * 100) / 100;
                const QString totalText = QString::number(total, 'f', 2);
                headers->add({quoteId,
                              ref,
                              quoted,
                              text(sup.shortname),
                              text(sup.name),
                              text(sup.street),
                              text(sup.street2),
                              text(sup.town),
                              QStringLiteral("%1 %2").arg(QString::fromUtf8(sup.county),
                                                          QString::fromUtf8(sup.postcode)),
                              int(4 + s),
                              QString::number(1001 + s),
                              text(sup.title),
                              QString(QChar(QLatin1Char(sup.contact[0]))),
                              text(sup.contact),
                              text(sup.position),
                              text(sup.telephone),
                              QString::number(2001 + dentist),
                              QStringLiteral("%1  %2").arg(QString::fromUtf8(dt.forenames),
                                                           QString::fromUtf8(dt.surname)),
                              text(shipTo.name),
                              101 + dt.practice,
                              1,
                              status,
                              double(discount),
                              double(vat),
                              QVariant(),
                              totalText});
                // Approved orders were posted to the ledger.
                if (status != Pending && status != Cancelled)
                    postings->add(
                        {++postingId, double(101 + dt.practice), double(quoteId), double(1001 + s),
                         QStringLiteral("Stock Purchase for suppliers Ref  %1").arg(ref),
                         u'-' + totalText, 0, QStringLiteral("Stock Purchase"), quoted, 2020});
            }
            headers->flush();
            lines->flush();
            postings->flush();
        };
        if (fast_)
            block();
        else
            db_.transaction(block);
        GenerationCounts done = counts_;
        done.orders += to;
        done.lines = lineId;
        done.postings = postingId;
        if (progress)
            progress(done);
    }
    headers->finish();
    lines->finish();
    postings->finish();
    for (auto& i : indexes)
        i->restore();
    if (fast_)
        db_.execute(QStringLiteral("SET SESSION unique_checks = 1, foreign_key_checks = 1"));
    counts_.orders += count;
    counts_.lines = lineId;
    counts_.postings = postingId;
}

int ensureOrderWithLines(Database& db, int lines) {
    const QString ref = QStringLiteral("BENCH/LINES/%1").arg(lines);
    const QString oi = q(schema::OrderInformation), od = q(schema::OrderDetails);
    QVariant id = db.scalar(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(q("Quote ID"), oi, q("Customer Ref")),
        {ref});
    if (!id.isNull()) {
        const QVariant have = db.scalar(
            QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(od, q("Order ID")), {id});
        if (have.toInt() == lines) {
            // A supplier with an account, so the order prints as a real one.
            db.execute(
                QStringLiteral(
                    "UPDATE %1 SET %2 = '1001', %3 = 'Unit 7 Meadow Lane Trading Estate', "
                    "%4 = 'Leeds', %5 = 'West Yorkshire LS10 1QP' WHERE %6 = ? AND %2 IS NULL")
                    .arg(oi, q("Account No"), q("Street"), q("Town"), q("County/Postcode"),
                         q("Quote ID")),
                {id});
            return id.toInt();
        }
    }
    // Lines from the start of the catalogue, as many times round as needed.
    const RowSet catalogue =
        db.select(QStringLiteral("SELECT %1, %2, %3, %4 FROM %5 ORDER BY %1 LIMIT 500")
                      .arg(q("Product ID"), q("Product Name"), q("QuoteDescName"), q("Unit Price"),
                           q(schema::Products)));
    db.transaction([&] {
        const QDateTime quoted(QDate(2025, 6, 2), QTime(0, 0));
        if (id.isNull())
            id = db.insert(
                QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6, %7, %8, %9, %10, %11, %12) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                    .arg(oi, q("Customer Ref"), q("Quoted Date"), q("Customer Shortname"),
                         q("Customer Name"), q("Status"), q("Discount"), q("VAT"))
                    .arg(q("Account No"), q("Street"), q("Town"), q("County/Postcode")),
                {ref, quoted, QStringLiteral("BRACKEN"),
                 QStringLiteral("Bracken Dental Supplies Ltd"), int(Pending), 0.0, 20.0,
                 QStringLiteral("1001"), QStringLiteral("Unit 7 Meadow Lane Trading Estate"),
                 QStringLiteral("Leeds"), QStringLiteral("West Yorkshire LS10 1QP")});
        else
            db.execute(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(od, q("Order ID")), {id});
        QStringList cols = lineColumns();
        cols.removeFirst(); // the server numbers the lines
        BatchInserter rows(db, schema::OrderDetails, cols);
        for (int i = 0; i < lines; ++i) {
            const bool known = !catalogue.isEmpty();
            const int c = known ? i % catalogue.size() : 0;
            rows.add({id, known ? catalogue.rows[c][0] : QVariant(),
                      known ? catalogue.rows[c][1] : QVariant(QStringLiteral("BRK-%1").arg(i)),
                      known ? catalogue.rows[c][2] : QVariant(QStringLiteral("Line %1").arg(i)),
                      known ? catalogue.rows[c][3] : QVariant(QStringLiteral("9.95")), 1 + i % 12,
                      i % 5 == 0 ? 0.05 : 0.0, int(Pending), 0, QVariant(),
                      i % 17 == 0 ? QVariant(QStringLiteral("Urgent - running low")) : QVariant(),
                      QVariant(), 0, QVariant(), quoted.addDays(5)});
        }
        rows.flush();
    });
    return id.toInt();
}

} // namespace zel::bench
