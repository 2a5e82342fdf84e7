// Measures printing the class list of 2,000 students to a PDF file: reading the
// roster store as the list reads it, laying the rows out and painting every page
// (the photo contact sheet too, with a small photo each). Offscreen, so it runs
// without a display.
#include "app/roster_print.h"
#include "app/student_record.h"
#include "app/print/class_list_print.h"
#include "app/print/contact_sheet_print.h"
#include "roster/store_layout.h"
#include "store/commands.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kStudents = 2000;
constexpr int kRounds = 5;

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

qr::runtime::ByteSet photo(int k)
{
    QImage image(90, 120, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(k * 7 % 360, 160, 220));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {bytes.begin(), bytes.end()};
}

bool seedRoster(const std::string& path)
{
    if (!qr::store::createStore(path, qr::roster::rosterFieldSpecs()) || !qr::store::openStore(path))
        return false;
    bool ok = qr::store::beginUnit();
    for (int k = 1; k <= kStudents && ok; ++k) {
        const std::string n = std::to_string(k);
        char idCard[32];
        std::snprintf(idCard, sizeof idCard, "4301022010%04d%03dX", 315 + k / 1000, k % 1000);
        qr::app::StudentRecord s;
        s.number = k;
        s.name = "学生" + n;
        s.sex = k % 2 ? "男" : "女";
        s.height = 150 + k % 30;
        s.weight = 40.5f + float(k % 20);
        s.age = "13";
        s.registerNumber = "R2017" + n;
        s.nationalNumber = std::string("G") + idCard;
        s.photo = photo(k);
        s.boarding = k % 2 ? "是" : "否";
        s.dormitory = "1#20" + n;
        s.bed = n;
        s.idCard = idCard;
        s.address = "湖南省长沙市芙蓉区Hollowmere村二组" + n + "号";
        s.guardian1Relation = "父亲";
        s.guardian1Name = "家长" + n;
        s.guardian1Phone = "1881234" + n;
        s.guardian2Relation = "母亲";
        s.guardian2Name = "监护乙" + n;
        s.guardian2Phone = "1998765" + n;
        const auto values = s.storeValues();
        ok = qr::store::addRecord(values);
    }
    ok = qr::store::endUnit() && ok;
    qr::store::closeStore();
    return ok;
}

struct Round {
    double read = 0, print = 0;
    int pages = 0;
};

template <typename Read, typename Print> std::vector<Round> measure(Read read, Print print)
{
    std::vector<Round> rounds;
    for (int r = 0; r < kRounds; ++r) {
        Round round;
        auto start = Clock::now();
        auto document = read();
        round.read = msSince(start);
        if (!document) {
            std::fprintf(stderr, "cannot open the roster store\n");
            std::exit(1);
        }
        start = Clock::now();
        round.pages = print(*document);
        round.print = msSince(start);
        rounds.push_back(round);
    }
    std::sort(rounds.begin(), rounds.end(),
              [](const Round& a, const Round& b) { return a.read + a.print < b.read + b.print; });
    return rounds;
}

void report(const char* what, const std::vector<Round>& rounds, const QString& file)
{
    const Round& median = rounds[rounds.size() / 2];
    std::printf("%s, %d students: median %.0f ms (reading the store %.0f ms, laying out and painting %d pages %.0f ms) "
                "over %d rounds; PDF %lld KB\n",
                what, kStudents, median.read + median.print, median.read, median.pages, median.print, kRounds,
                QFileInfo(file).size() / 1024);
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return 1;
    const std::string roster = (scratch.path() + QStringLiteral("/xsdate.edb")).toStdString();
    if (!seedRoster(roster)) {
        std::fprintf(stderr, "cannot make the roster store\n");
        return 1;
    }
    const qr::print::PageHeading heading{"Tarnfield初中2017级1班", QDate::currentDate()};
    const QString listFile = scratch.path() + QStringLiteral("/list.pdf");
    const QString cardFile = scratch.path() + QStringLiteral("/cards.pdf");

    report("class list",
           measure([&] { return qr::app::classListFromStore(roster, heading); },
                   [&](const qr::print::ClassList& list) {
                       QPdfWriter writer(listFile);
                       writer.setPageLayout(qr::print::classListPageLayout());
                       return qr::print::printClassList(writer, list);
                   }),
           listFile);
    report("contact sheet",
           measure([&] { return qr::app::contactSheetFromStore(roster, heading); },
                   [&](const qr::print::ContactSheet& sheet) {
                       QPdfWriter writer(cardFile);
                       writer.setPageLayout(qr::print::contactSheetPageLayout());
                       return qr::print::printContactSheet(writer, sheet);
                   }),
           cardFile);
    return 0;
}
