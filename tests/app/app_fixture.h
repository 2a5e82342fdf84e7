// A teacher at the real windows, offscreen: each test gets its own run directory
// with freshly created stores, the forms runtime with every handler bound, message
// boxes and file dialogs answered through their seams, and the stores read back
// with the engine afterwards.
#pragma once

#include "app/student_record.h"
#include "runtime/message_box.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace qr::app::test {

// A GBK text (a plain literal in this code base) as a QString, and back.
QString qs(std::string_view gbk);
std::string gbk(const QString& text);

struct ShownBox {
    std::string text;  // GBK
    std::string title; // GBK
    std::uint32_t flags = 0;
};

// A student with distinct values in every field, numbered `number`.
StudentRecord sampleStudent(int number, std::string_view name);

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // ---- the run directory -----------------------------------------------------------
    std::filesystem::path dir() const { return dir_; }
    std::string rosterPath() const;  // GBK/UTF-8 path of xsdate.edb
    std::string recyclePath() const; // deldate.edb
    void writeClassName(std::string_view classNameGbk);
    void seed(const std::string& storePath, const std::vector<StudentRecord>& students);
    std::vector<StudentRecord> readAll(const std::string& storePath);
    // `quillroll-store check` on the store: true when it finds nothing wrong.
    bool checkClean(const std::string& storePath);
    // Removes a store's data file (and its auxiliary file) to make opening it fail.
    void removeStore(const std::string& storePath);

    // ---- answers given through the seams --------------------------------------------
    // Questions are answered in order from this queue; without an entry, No.
    void answer(runtime::PressedButton button) { answers_.push_back(button); }
    const std::vector<ShownBox>& boxes() const { return boxes_; }
    std::vector<std::string> boxTexts() const;
    void forgetBoxes() { boxes_.clear(); }
    // Lets events run until a box with this text has been shown (at most two seconds).
    bool waitForBox(std::string_view textGbk);
    // The next file dialogs: a confirmed path (UTF-8 file-system path) or a cancel.
    void pickFile(const std::filesystem::path& file) { files_.push_back(file); }
    void cancelFileDialog() { files_.push_back(std::nullopt); }
    int fileDialogsShown() const { return fileDialogs_; }

    // ---- starting the program ---------------------------------------------------------
    void startProgram(); // loads the start window
    void enterMainWindow(std::string_view classNameGbk = "Tarnfield初中2017级1班");

    test_support::TempDir scratch_;
    std::filesystem::path dir_;
    std::deque<runtime::PressedButton> answers_;
    std::vector<ShownBox> boxes_;
    std::deque<std::optional<std::filesystem::path>> files_;
    int fileDialogs_ = 0;
};

// ---- the teacher's hands ---------------------------------------------------------------

QWidget* window(std::uint32_t windowId); // null when not shown
QWidget* component(std::uint32_t windowId, std::string_view nameGbk);
void typeText(std::uint32_t windowId, std::string_view editNameGbk, std::string_view textGbk);
void replaceText(std::uint32_t windowId, std::string_view editNameGbk, std::string_view textGbk);
void pressKey(std::uint32_t windowId, std::string_view nameGbk, int qtKey);
void pressEsc(std::uint32_t windowId);
void clickButton(std::uint32_t windowId, std::string_view buttonNameGbk);
void chooseItem(std::uint32_t windowId, std::string_view comboNameGbk, int index);
void clickToolbar(std::uint32_t windowId, std::string_view toolbarNameGbk, int index);
void clickRow(std::uint32_t windowId, int row);
void rightClickRow(std::uint32_t windowId, int row);
void doubleClickRow(std::uint32_t windowId, int row);
// Runs `act` once the next pop-up menu is open, chooses the item captioned `itemGbk`.
void chooseNextMenuItem(std::string_view itemGbk);
// Runs `act` as soon as a modal window has opened (call before the action that
// opens it); `act` must end by closing that window.
void whenModalOpens(std::uint32_t windowId, std::function<void()> act);
// Lets deferred destroys and repaints happen.
void settle();

// What the lists and fields show.
int rowCount(std::uint32_t windowId);
std::string cell(std::uint32_t windowId, int row, int column); // GBK
std::string content(std::uint32_t windowId, std::uint32_t componentId, int property);

} // namespace qr::app::test
