// quillroll-screenshots STORE-TOOL OUTPUT-FOLDER
//
// Takes the pictures of the README's "Using Quillroll" (docs/app): the running
// program's main window holding a few students, the print preview of its class
// list, and the add form, in a data
// directory of its own that the store tool (quillroll-store) sets up. The program
// starts as it always does (so with the control look of its start-up), and the
// pictures are read back from the display it runs on; the README's were taken on
// xcb under Xvfb:
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb
//     build/run/quillroll-screenshots build/run/quillroll-store docs/app
// (one command line).
#include "app/app_paths.h"
#include "app/catalogue/catalogue.h"
#include "app/component_ids.h"
#include "app/print_preview.h"
#include "app/startup.h"
#include "app/student_record.h"
#include "forms/registry/component_kind.h"
#include "forms/registry/forms_application.h"
#include "forms/registry/qt_text.h"
#include "forms/registry/window_registry.h"
#include "forms/template/ids.h"
#include "runtime/config_items.h"
#include "runtime/gbk.h"
#include "runtime/message_box.h"
#include "store/commands.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QWindow>

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

// Waits until the display shows the window, up to two seconds.
void waitUntilShown(QWidget& window)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 2000 && !(window.windowHandle() && window.windowHandle()->isExposed()))
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::processEvents();
}

// The window's pixels as the screen shows them; the widget's own rendering where
// the platform cannot read its screen back.
bool saveWidget(QWidget* top, const std::filesystem::path& file)
{
    if (top == nullptr)
        return false;
    waitUntilShown(*top);
    QPixmap shot;
    if (QScreen* screen = top->screen())
        shot = screen->grabWindow(top->winId());
    if (shot.isNull())
        shot = top->grab();
    return shot.save(QString::fromStdString(file.string()), nullptr, 0);
}

bool save(std::uint32_t windowId, const std::filesystem::path& file) { return saveWidget(topWindow(windowId), file); }

// The class list's print preview, opened by its key (Ctrl+P) and closed again.
bool savePrintPreview(const std::filesystem::path& file)
{
    QWidget* main = topWindow(qr::app::kMainWindow);
    if (main == nullptr)
        return false;
    for (QShortcut* shortcut : main->findChildren<QShortcut*>())
        if (shortcut->key() == QKeySequence(Qt::CTRL | Qt::Key_P))
            emit shortcut->activated();
    auto* preview = main->findChild<QPrintPreviewDialog*>(qr::forms::toQString(qr::app::kListPreviewName));
    if (preview == nullptr)
        return false;
    // The pages are drawn once the preview is on screen.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    const bool saved = saveWidget(preview, file);
    preview->close();
    return saved;
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
    ok = savePrintPreview(out / "print-preview.png") && ok;
    QTimer::singleShot(300, [&] {
        ok = save(qr::app::kAddForm, out / "add-form.png") && ok;
        qr::forms::destroyWindow(qr::app::kAddForm);
    });
    qr::forms::loadWindow(qr::app::kAddForm, std::nullopt, true);
    qr::forms::destroyAllWindows();
    return ok ? 0 : 1;
}
