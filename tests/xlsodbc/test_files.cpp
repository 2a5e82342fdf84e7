#include "tests/xlsodbc/test_files.h"

#include "runtime/gbk.h"
#include "tests/support/shell_command.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qr::xls::testing {

std::vector<std::uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string runScript(const std::string& script, const std::string& argument, int& status)
{
    return qr::test_support::runShell(
        "/usr/bin/python3 " + qr::test_support::shellQuoted(std::string(QR_XLS_TEST_SCRIPTS) + "/" + script) + " " +
            qr::test_support::shellQuoted(argument),
        status);
}

std::string gbk(std::u8string_view utf8)
{
    return qr::runtime::utf8ToGbk(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

std::string gbkFromUtf8(const std::string& utf8) { return qr::runtime::utf8ToGbk(utf8); }

std::vector<std::u16string> rosterHeadings()
{
    return {u"序号",      u"姓名",      u"性别",      u"身高",      u"体重",     u"年龄",     u"学籍辅号",
            u"全国学号",  u"是否住宿",  u"宿舍号",    u"床位号",    u"身份证号", u"家庭住址", u"监护1关系",
            u"监护1姓名", u"监护1电话", u"监护2关系", u"监护2姓名", u"监护2电话"};
}

std::vector<std::pair<std::uint16_t, std::uint16_t>> rosterWidths()
{
    const std::uint16_t w[19] = {1312, 1696, 1184, 1152, 1248, 3072, 3104, 4832, 2304, 1664,
                                 1664, 4768, 7168, 2432, 2304, 3008, 2304, 2304, 3040};
    std::vector<std::pair<std::uint16_t, std::uint16_t>> out;
    for (std::uint16_t c = 0; c < 19; ++c)
        out.emplace_back(c, w[c]);
    return out;
}

} // namespace qr::xls::testing
