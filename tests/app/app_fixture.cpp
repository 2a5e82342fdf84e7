#include "tests/app/app_fixture.h"

#include "app/app_paths.h"
#include "app/component_ids.h"
#include "app/roster_store.h"
#include "app/startup.h"
#include "forms/kinds/file_dialog.h"
#include "forms/kinds/report_list_ops.h"
#include "forms/registry/component_kind.h"
#include "forms/registry/window_registry.h"
#include "runtime/config_items.h"
#include "runtime/gbk.h"
#include "store/commands.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdlib>

namespace qr::app::test {

namespace fs = std::filesystem;

QString qs(std::string_view text) { return QString::fromStdU16String(runtime::gbkToUtf16(text)); }

std::string gbk(const QString& text) { return runtime::utf16ToGbk(text.toStdU16String()); }

StudentRecord sampleStudent(int number, std::string_view name)
{
    const std::string n = std::to_string(number);
    StudentRecord s;
    s.number = number;
    s.name = std::string(name);
    s.sex = number % 2 ? "男" : "女";
    s.height = 150 + number;
    s.weight = 40.5f + float(number);
    s.age = "1" + n + "岁";
    s.registerNumber = "R" + n;
    s.nationalNumber = "G4301022010031500" + n;
    s.photo = {0xFF, 0xD8, 0xFF, 0xE0, std::uint8_t(number), 1, 2, 3};
    s.boarding = number % 2 ? "是" : "否";
    s.dormitory = "1#20" + n;
    s.bed = n;
    s.idCard = "43010220100315002" + n;
    s.address = "Hollowmere村" + n + "号";
    s.guardian1Relation = "父亲";
    s.guardian1Name = "监护甲" + n;
    s.guardian1Phone = "1881234567" + n;
    s.guardian2Relation = "母亲";
    s.guardian2Name = "监护乙" + n;
    s.guardian2Phone = "1998765432" + n;
    return s;
}

void AppTest::SetUp()
{
    dir_ = scratch_.path();
    for (const std::string& path : {rosterPath(), recyclePath()}) {
        const std::string command = std::string(QR_STORE_TOOL) + " create-roster '" + path + "' >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    setDataDirectory(runtime::utf8ToGbk(dir_.string()));
    startFormsRuntime();

    runtime::setMessageBoxPresenter([this](const runtime::MessageBoxRequest& request) {
        boxes_.push_back({request.text, request.title, request.flags & ~runtime::message_box_flags::kTaskModal});
        if (request.buttons() != runtime::message_box_flags::kYesNo)
            return runtime::PressedButton::Ok;
        if (answers_.empty())
            return runtime::PressedButton::No;
        const runtime::PressedButton given = answers_.front();
        answers_.pop_front();
        return given;
    });
    forms::setFileDialogPresenter([this](const forms::FileDialogRequest&) {
        ++fileDialogs_;
        forms::FileDialogAnswer answer;
        if (!files_.empty()) {
            if (files_.front()) {
                answer.confirmed = true;
                answer.pathGbk = runtime::utf8ToGbk(files_.front()->string());
            }
            files_.pop_front();
        }
        return answer;
    });
}

void AppTest::TearDown()
{
    // A confirmed file dialog makes the chosen file's folder current; leave it.
    std::error_code ignoredCwd;
    fs::current_path(fs::temp_directory_path(), ignoredCwd);
    forms::destroyAllWindows();
    settle();
    runtime::setMessageBoxPresenter({});
    forms::setFileDialogPresenter({});
    setDataDirectory({});
}

std::string AppTest::rosterPath() const { return (dir_ / "xsdate.edb").string(); }
std::string AppTest::recyclePath() const { return (dir_ / "deldate.edb").string(); }

void AppTest::writeClassName(std::string_view classNameGbk)
{
    ASSERT_TRUE(runtime::writeConfigItem(configFilePath(), "学校班级", "date", classNameGbk));
}

void AppTest::seed(const std::string& storePath, const std::vector<StudentRecord>& students)
{
    ASSERT_TRUE(store::openStore(runtime::utf8ToGbk(storePath)));
    for (const StudentRecord& s : students) {
        const std::vector<runtime::Value> values = s.storeValues();
        EXPECT_TRUE(store::addRecord(values));
    }
    store::closeStore();
}

std::vector<StudentRecord> AppTest::readAll(const std::string& storePath)
{
    std::vector<StudentRecord> all;
    RosterStore roster(runtime::utf8ToGbk(storePath));
    if (!roster.isOpen()) {
        ADD_FAILURE() << "cannot open " << storePath;
        return all;
    }
    const int count = roster.recordCount();
    for (int k = 1; k <= count; ++k) {
        roster.goToRecord(k);
        all.push_back(readCurrentStudent(roster));
    }
    return all;
}

bool AppTest::checkClean(const std::string& storePath)
{
    const std::string command = std::string(QR_STORE_TOOL) + " check '" + storePath + "' >/dev/null";
    return std::system(command.c_str()) == 0;
}

void AppTest::removeStore(const std::string& storePath)
{
    fs::remove(storePath);
    fs::path aux = storePath;
    aux.replace_extension(".EDT");
    fs::remove(aux);
}

std::vector<std::string> AppTest::boxTexts() const
{
    std::vector<std::string> texts;
    for (const ShownBox& box : boxes_)
        texts.push_back(box.text);
    return texts;
}

bool AppTest::waitForBox(std::string_view textGbk)
{
    return QTest::qWaitFor(
        [&] {
            for (const ShownBox& box : boxes_) {
                if (box.text == textGbk)
                    return true;
            }
            return false;
        },
        2000);
}

void AppTest::startProgram()
{
    forms::loadStartWindow(kStartWindow);
    settle();
}

void AppTest::enterMainWindow(std::string_view classNameGbk)
{
    writeClassName(classNameGbk);
    startProgram();
    clickButton(kStartWindow, "按钮_确定");
    settle();
    ASSERT_TRUE(forms::isLoaded(kMainWindow));
}

// ---- the teacher's hands ---------------------------------------------------------------

QWidget* window(std::uint32_t windowId)
{
    const QString name = QString::asprintf("0x%08X", windowId);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == name)
            return top;
    }
    return nullptr;
}

QWidget* component(std::uint32_t windowId, std::string_view nameGbk)
{
    QWidget* top = window(windowId);
    return top ? top->findChild<QWidget*>(qs(nameGbk)) : nullptr;
}

namespace {

QWidget* required(std::uint32_t windowId, std::string_view nameGbk)
{
    QWidget* widget = component(windowId, nameGbk);
    if (widget == nullptr)
        ADD_FAILURE() << "no component " << runtime::gbkToUtf8(nameGbk);
    return widget;
}

QTableView* listOf(std::uint32_t windowId)
{
    QWidget* widget = required(windowId, "超级列表框1");
    if (widget == nullptr)
        return nullptr;
    if (auto* view = qobject_cast<QTableView*>(widget))
        return view;
    return widget->findChild<QTableView*>();
}

QPoint rowPoint(QTableView* view, int row)
{
    view->scrollTo(view->model()->index(row, 0));
    return view->visualRect(view->model()->index(row, 0)).center();
}

void sendText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClicks(widget, QString(ch));
            continue;
        }
        // Chinese text arrives as key events that carry it, as from an input method.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &release);
    }
}

} // namespace

void typeText(std::uint32_t windowId, std::string_view editNameGbk, std::string_view textGbk)
{
    QWidget* edit = required(windowId, editNameGbk);
    if (edit == nullptr)
        return;
    edit->setFocus();
    sendText(edit, qs(textGbk));
}

void replaceText(std::uint32_t windowId, std::string_view editNameGbk, std::string_view textGbk)
{
    QWidget* edit = required(windowId, editNameGbk);
    if (edit == nullptr)
        return;
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    sendText(edit, qs(textGbk));
}

void pressKey(std::uint32_t windowId, std::string_view nameGbk, int qtKey)
{
    if (QWidget* widget = required(windowId, nameGbk)) {
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key(qtKey));
    }
}

void pressEsc(std::uint32_t windowId)
{
    QWidget* top = window(windowId);
    ASSERT_NE(top, nullptr);
    QWidget* target = top->focusWidget() ? top->focusWidget() : top;
    QTest::keyClick(target, Qt::Key_Escape);
    settle();
}

void clickButton(std::uint32_t windowId, std::string_view buttonNameGbk)
{
    if (QWidget* button = required(windowId, buttonNameGbk))
        QTest::mouseClick(button, Qt::LeftButton);
}

void chooseItem(std::uint32_t windowId, std::string_view comboNameGbk, int index)
{
    QWidget* widget = required(windowId, comboNameGbk);
    auto* combo = qobject_cast<QComboBox*>(widget);
    if (combo == nullptr) {
        ADD_FAILURE() << "not a combo box: " << runtime::gbkToUtf8(comboNameGbk);
        return;
    }
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
}

void clickToolbar(std::uint32_t windowId, std::string_view toolbarNameGbk, int index)
{
    QWidget* bar = required(windowId, toolbarNameGbk);
    if (bar == nullptr)
        return;
    const QList<QToolButton*> buttons = bar->findChildren<QToolButton*>();
    ASSERT_LT(index, buttons.size());
    QTest::mouseClick(buttons[index], Qt::LeftButton);
}

void clickRow(std::uint32_t windowId, int row)
{
    if (QTableView* view = listOf(windowId))
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(view, row));
}

void rightClickRow(std::uint32_t windowId, int row)
{
    if (QTableView* view = listOf(windowId)) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(view, row));
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, rowPoint(view, row));
    }
}

void doubleClickRow(std::uint32_t windowId, int row)
{
    // The first click of the pair selects the row, the second is the double-click.
    if (QTableView* view = listOf(windowId)) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(view, row));
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rowPoint(view, row));
    }
}

namespace {

// Polls every few milliseconds until `ready` holds, then runs `act` once; gives
// up after a few seconds so that a missing window fails the test instead of hanging.
void whenReady(std::function<bool()> ready, std::function<void()> act)
{
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, ready, act] {
        if (!ready()) {
            if (++*tries > 500) {
                ADD_FAILURE() << "the expected window or menu never opened";
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start(10);
}

} // namespace

void chooseNextMenuItem(std::string_view itemGbk)
{
    const QString caption = qs(itemGbk);
    whenReady([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; },
              [caption] {
                  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                  for (QAction* action : menu->actions()) {
                      if (action->text().remove(QLatin1Char('&')) == caption) {
                          menu->setActiveAction(action);
                          QTest::keyClick(menu, Qt::Key_Return);
                          return;
                      }
                  }
                  ADD_FAILURE() << "no menu item " << caption.toStdString();
                  menu->close();
              });
}

void whenModalOpens(std::uint32_t windowId, std::function<void()> act)
{
    whenReady([windowId] { return forms::isLoaded(windowId) && window(windowId) && window(windowId)->isVisible(); },
              [windowId, act] {
                  act();
                  // Whatever the checks found, the nested loop must end.
                  if (forms::isLoaded(windowId))
                      forms::destroyWindow(windowId);
              });
}

void settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

int rowCount(std::uint32_t windowId)
{
    const std::uint32_t list = windowId == kMainWindow ? main_window::kList : deleted_window::kList;
    return forms::report_list::rowCount(windowId, list);
}

std::string cell(std::uint32_t windowId, int row, int column)
{
    const std::uint32_t list = windowId == kMainWindow ? main_window::kList : deleted_window::kList;
    return forms::report_list::cellText(windowId, list, row, column);
}

std::string content(std::uint32_t windowId, std::uint32_t componentId, int property)
{
    return forms::readProperty(windowId, componentId, property).asText();
}

} // namespace qr::app::test
