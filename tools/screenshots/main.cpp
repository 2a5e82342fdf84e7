// quillroll-screenshots STORE-TOOL OUTPUT-FOLDER
//
// Takes the pictures of the README's "Using Quillroll" and of its additions
// (docs/app): the running program's main window holding a few students, the print
// preview of its class list, the add form, the find box over the list, the import check's notice, the identity-card
// hint and the question about a large photo, in a data directory of its own that
// the store tool (quillroll-store) sets up. The program starts as it always does
// (so with the control look of its start-up), and the pictures are read back from
// the display it runs on; the README's were taken on xcb under Xvfb:
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb
//     build/run/quillroll-screenshots build/run/quillroll-store docs/app
// (one command line).
#include "app/app_paths.h"
#include "app/catalogue/catalogue.h"
#include "app/component_ids.h"
#include "app/find_box.h"
#include "app/messages.h"
#include "app/print_preview.h"
#include "app/startup.h"
#include "app/student_record.h"
#include "forms/kinds/file_dialog.h"
#include "forms/registry/component_kind.h"
#include "forms/registry/forms_application.h"
#include "forms/registry/qt_boxes.h"
#include "forms/registry/qt_text.h"
#include "forms/registry/window_registry.h"
#include "forms/template/ids.h"
#include "roster/import_check.h"
#include "runtime/config_items.h"
#include "runtime/gbk.h"
#include "runtime/message_box.h"
#include "store/commands.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QRandomGenerator>
#include <QScreen>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

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
bool saveWidget(QWidget& top, const std::filesystem::path& file)
{
    waitUntilShown(top);
    QPixmap shot;
    if (QScreen* screen = top.screen())
        shot = screen->grabWindow(top.winId());
    if (shot.isNull())
        shot = top.grab();
    return shot.save(QString::fromStdString(file.string()));
}

bool save(std::uint32_t windowId, const std::filesystem::path& file)
{
    QWidget* top = topWindow(windowId);
    return top != nullptr && saveWidget(*top, file);
}

QWidget* named(std::uint32_t windowId, std::string_view nameGbk)
{
    QWidget* top = topWindow(windowId);
    return top ? top->findChild<QWidget*>(qr::forms::toQString(nameGbk)) : nullptr;
}

// Message boxes are the forms layer's own; the one after arm() is pictured and then
// closed without a Yes, the others are answered OK at once.
class BoxCamera {
public:
    void arm(std::filesystem::path file) { next_ = std::move(file); }
    bool ok() const { return ok_; }

    qr::runtime::PressedButton present(const qr::runtime::MessageBoxRequest& request)
    {
        if (next_.empty())
            return qr::runtime::PressedButton::Ok;
        QTimer::singleShot(300, [this, file = std::exchange(next_, {})] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                ok_ = false;
                return;
            }
            ok_ = saveWidget(*box, file) && ok_;
            box->done(QDialog::Rejected);
        });
        return qr::forms::showQtMessageBox(request);
    }

private:
    std::filesystem::path next_;
    bool ok_ = true;
};

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
    const bool saved = saveWidget(*preview, file);
    preview->close();
    return saved;
}

// The main window with its find box open on a name that two rows share.
bool saveFindBox(const std::filesystem::path& file)
{
    QWidget* top = topWindow(qr::app::kMainWindow);
    if (top == nullptr)
        return false;
    for (QShortcut* shortcut : top->findChildren<QShortcut*>())
        if (shortcut->key() == QKeySequence(QKeySequence::Find))
            Q_EMIT shortcut->activated();
    auto* box = top->findChild<QLineEdit*>(qr::forms::toQString(qr::app::kFindBoxName));
    if (box == nullptr || !box->isVisible())
        return false;
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("王"));
    QApplication::sendEvent(box, &typed);
    QApplication::processEvents();
    const bool ok = saveWidget(*top, file);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &esc);
    return ok;
}

// The notice an import shows when the sheet's rows hold what the forms would refuse.
void showImportCheck()
{
    const auto column = [](std::string_view heading) {
        const auto& headings = qr::roster::kHeadings;
        return std::size_t(std::find(headings.begin(), headings.end(), heading) - headings.begin());
    };
    const char* names[] = {"林小雨", "陈思远", "周可欣"};
    const char* idCards[] = {"430102201003150021", "1.101051949123e+17", "430102201003150021"};
    std::vector<qr::roster::ImportRow> rows(3);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::string& cell : rows[r])
            cell = "1";
        rows[r][column("姓名")] = names[r];
        rows[r][column("性别")] = r == 1 ? "男生" : "女";
        rows[r][column("是否住宿")] = "是";
        rows[r][column("身份证号")] = idCards[r];
        rows[r][column("监护1关系")] = "父亲";
        rows[r][column("监护2关系")] = "母亲";
    }
    rows[2][column("监护1电话")].clear();
    const auto problems = qr::roster::checkImportRows(rows, qr::roster::today());
    qr::app::notify(qr::roster::importProblemNotice(problems), qr::runtime::message_box_flags::kIconExclamation,
                    qr::app::text::kImportCheckTitle);
}

// The add form with a number that fails the identity-card check, its tool tip shown.
bool saveIdCardHint(const std::filesystem::path& file)
{
    QWidget* top = topWindow(qr::app::kAddForm);
    auto* box = qobject_cast<QLineEdit*>(named(qr::app::kAddForm, "编辑框_身份证号"));
    if (top == nullptr || box == nullptr)
        return false;
    qr::forms::writeProperty(qr::app::kAddForm, qr::app::kAddFormIds.idCard, qr::app::property::kEditContent,
                             qr::runtime::Value::text("430102201003150021"));
    QToolTip::showText(box->mapToGlobal(QPoint(box->width() / 3, box->height() + 2)), box->toolTip(), box);
    QElapsedTimer waited;
    waited.start();
    QWidget* tip = nullptr;
    while (waited.elapsed() < 2000 && tip == nullptr) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("QTipLabel") && w->isVisible())
                tip = w;
    }
    QApplication::processEvents();
    QPixmap shot;
    if (QScreen* screen = top->screen()) {
        QRect area = top->frameGeometry();
        if (tip != nullptr)
            area = area.united(tip->frameGeometry());
        shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    }
    QToolTip::hideText();
    return tip != nullptr && !shot.isNull() && shot.save(QString::fromStdString(file.string()));
}

// A phone-sized photo file: noise does not compress, so it stays above 1 MiB.
std::filesystem::path writeLargePhoto(const std::filesystem::path& dir)
{
    QImage picture(2000, 1500, QImage::Format_RGB32);
    QRandomGenerator random(2017);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const int shade = int(random.bounded(64));
            picture.setPixel(x, y, qRgb(150 + shade, 180 + shade / 2, 200 + shade / 2));
        }
    const std::filesystem::path file = dir / "IMG_2017.jpg";
    picture.save(QString::fromStdString(file.string()), "JPEG", 95);
    return file;
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
    BoxCamera camera;
    qr::runtime::setMessageBoxPresenter(
        [&camera](const qr::runtime::MessageBoxRequest& request) { return camera.present(request); });
    const std::filesystem::path photo = writeLargePhoto(dir);
    qr::forms::setFileDialogPresenter([&photo](const qr::forms::FileDialogRequest&) {
        return qr::forms::FileDialogAnswer{true, qr::runtime::utf8ToGbk(photo.string())};
    });

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
    ok = saveFindBox(out / "find-box.png") && ok;
    camera.arm(out / "import-check.png");
    showImportCheck();
    QTimer::singleShot(300, [&] {
        ok = save(qr::app::kAddForm, out / "add-form.png") && ok;
        ok = saveIdCardHint(out / "id-card-hint.png") && ok;
        camera.arm(out / "large-photo.png");
        if (auto* insert = qobject_cast<QAbstractButton*>(named(qr::app::kAddForm, "按钮_插入照片")))
            insert->click();
        else
            ok = false;
        qr::forms::destroyWindow(qr::app::kAddForm);
    });
    qr::forms::loadWindow(qr::app::kAddForm, std::nullopt, true);
    qr::forms::destroyAllWindows();
    return ok && camera.ok() ? 0 : 1;
}
