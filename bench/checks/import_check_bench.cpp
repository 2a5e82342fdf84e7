// Measures the import check on 3,000 rows: every row checked (required fields,
// identity-card number, words), repeated numbers found, and the notice put
// together. Two sheets: one without problems, and one where every tenth row has
// one (so the notice is cut after twenty lines).
#include "roster/import_check.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 3000;
constexpr int kRounds = 21;

using Clock = std::chrono::steady_clock;

qr::roster::ImportRow row(int k)
{
    // Births spread over 2008..2011; year and sequence number keep the numbers distinct.
    char first17[18];
    std::snprintf(first17, sizeof first17, "430102%04d0315%03d", 2008 + k % 4, k / 4 % 1000);
    const std::string idCard = first17 + std::string(1, *qr::roster::idCardCheckCharacter(first17));
    return {std::to_string(k + 1),
            "学生" + std::to_string(k),
            k % 2 ? "男" : "女",
            "150",
            "40.5",
            "12",
            "R" + std::to_string(k),
            "G" + idCard,
            "是",
            "1#201",
            "8",
            idCard,
            "Hollowmere村二组188号",
            "父亲",
            "监护甲",
            "18812345678",
            "母亲",
            "监护乙",
            "19987654321"};
}

double medianMs(const std::vector<qr::roster::ImportRow>& rows, std::size_t& problems, std::size_t& noticeBytes)
{
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        const auto found = qr::roster::checkImportRows(rows, {2026, 12, 9});
        const std::string notice = qr::roster::importProblemNotice(found);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        problems = found.size();
        noticeBytes = notice.size();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main()
{
    std::vector<qr::roster::ImportRow> clean;
    for (int k = 0; k < kRows; ++k)
        clean.push_back(row(k));
    std::vector<qr::roster::ImportRow> faulty = clean;
    for (int k = 0; k < kRows; k += 10) {
        switch (k / 10 % 3) {
        case 0: faulty[std::size_t(k)][11].back() = faulty[std::size_t(k)][11].back() == '1' ? '2' : '1'; break;
        case 1: faulty[std::size_t(k)][1].clear(); break;
        case 2: faulty[std::size_t(k)][11] = clean[0][11]; break;
        }
    }
    std::size_t problems = 0, noticeBytes = 0;
    const double cleanMs = medianMs(clean, problems, noticeBytes);
    std::printf("%d rows without problems: median %.2f ms over %d rounds (%zu problems, notice %zu bytes)\n", kRows,
                cleanMs, kRounds, problems, noticeBytes);
    const double faultyMs = medianMs(faulty, problems, noticeBytes);
    std::printf("%d rows, every tenth faulty: median %.2f ms over %d rounds (%zu problems, notice %zu bytes)\n", kRows,
                faultyMs, kRounds, problems, noticeBytes);
    return 0;
}
