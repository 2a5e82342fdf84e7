// quillroll-screenshots STORE-TOOL OUTPUT-FOLDER
//
// Draws the pictures of the README's "Using Quillroll" (docs/app): the running
// program's main window holding a few students, and the add form, offscreen, in a
// data directory of its own that the store tool (quillroll-store) sets up.
#include "app/app_paths.h"
#include "app/catalogue/catalogue.h"
#include "app/component_ids.h"
#include "app/startup.h"
#include "app/student_record.h"
#include "forms/registry/component_kind.h"
#include "forms/registry/forms_application.h"
#include "forms/registry/window_registry.h"
#include "forms/template/ids.h"
#include "runtime/config_items.h"
#include "runtime/gbk.h"
#include "runtime/message_box.h"
#include "store/commands.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using qr::app::StudentRecord;

// The loaded window's own widget: the live object of its window record.
QWidget* topWindow(std::uint32_t windowId)
{
    const qr::forms::ComponentObject* own =
        qr::forms::findComponentObject(windowId, qr::forms::windowRecordId(windowId));
    return own != nullptr ? own->widget() : nullptr;
}

StudentRecord student(int k, const char* name, const char* sex, double height, float weight)
{
    const auto photo = qr::catalogue::placeholderPhotoBytes();
    const std::string n = std::to_string(k);
    StudentRecord s;
    s.number = k;
    s.name = name;
    s.sex = sex;
    s.height = height;
    s.weight = weight;
    s.age = "13";
    s.registerNumber = "20170700" + n;
    s.nationalNumber = "G43010220100315002" + n;
    s.photo.assign(photo.begin(), photo.end());
    s.boarding = k % 2 ? "是" : "否";
    s.dormitory = k % 2 ? "1#20" + n : "";
    s.bed = k % 2 ? n : "";
    s.idCard = "43010220100315002" + n;
    s.address = "Hollowmere村二组" + n + "号";
    s.guardian1Relation = "父亲";
    s.guardian1Name = "家长" + n;
    s.guardian1Phone = "1881234567" + n;
    s.guardian2Relation = "母亲";
    s.guardian2Name = "";
    s.guardian2Phone = "";
    return s;
}

bool save(std::uint32_t windowId, const std::filesystem::path& file)
{
    QWidget* top = topWindow(windowId);
    QApplication::processEvents();
    return top != nullptr && top->grab().save(QString::fromStdString(file.string()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s STORE-TOOL OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[2]);
    const QTemporaryDir scratch(QDir::tempPath() + "/quillroll-shots-XXXXXX");
    if (!scratch.isValid())
        return 1;
    const std::filesystem::path dir = scratch.path().toStdString();
    for (const char* store : {"xsdate.edb", "deldate.edb"}) {
        const std::string command = std::string(argv[1]) + " create-roster '" + (dir / store).string() + "' >/dev/null";
        if (std::system(command.c_str()) != 0)
            return 1;
    }

    qr::forms::FormsApplication application(argc, argv);
    qr::app::setDataDirectory(qr::runtime::utf8ToGbk(dir.string()));
    qr::app::startFormsRuntime();
    qr::runtime::setMessageBoxPresenter(
        [](const qr::runtime::MessageBoxRequest&) { return qr::runtime::PressedButton::Ok; });

    qr::store::openStore(qr::app::rosterStorePath());
    for (const StudentRecord& s : {student(1, "林小雨", "女", 158, 42.5f), student(2, "陈思远", "男", 165.5, 51),
                                   student(3, "周可欣", "女", 161, 45), student(4, "王浩然", "男", 170, 58.5f)}) {
        const auto values = s.storeValues();
        qr::store::addRecord(values);
    }
    qr::store::closeStore();
    qr::runtime::writeConfigItem(qr::app::configFilePath(), "学校班级", "date", "Tarnfield初中2017级1班");

    qr::forms::loadStartWindow(qr::app::kStartWindow);
    qr::forms::raiseEvent(qr::app::kStartWindow, 0x160100D5, 0);
    QApplication::processEvents();
    bool ok = save(qr::app::kMainWindow, out / "main-window.png");
    QTimer::singleShot(300, [&] {
        ok = save(qr::app::kAddForm, out / "add-form.png") && ok;
        qr::forms::destroyWindow(qr::app::kAddForm);
    });
    qr::forms::loadWindow(qr::app::kAddForm, std::nullopt, true);
    qr::forms::destroyAllWindows();
    return ok ? 0 : 1;
}
