#include "forms/kinds/common_dialog.h"
#include "runtime/gbk.h"
#include "tests/forms/kinds/kind_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

namespace qr::forms::test {
namespace {

using runtime::Value;
using namespace file_dialog_flags;

constexpr std::uint32_t kDialog = 0x1601010D;

TEST(FileDialogRequest, FilterIndexAndFlagsFollowTheSettings)
{
    CommonDialogSettings s;
    FileDialogRequest r = fileDialogRequest(s);
    EXPECT_FALSE(r.save);
    EXPECT_EQ(r.flags, kHideReadOnly);
    EXPECT_EQ(r.filterGbk, "");
    EXPECT_EQ(r.filterIndex, 0);
    EXPECT_TRUE(r.filters().empty());

    s.dialogType = 1;
    s.filter = "(*.xls)|*.xls";
    s.defaultExtension = "*.xls";
    s.options[CommonDialogSettings::kFileMustExist] = 1;
    s.options[CommonDialogSettings::kOverwritePrompt] = 1;
    s.options[CommonDialogSettings::kPathMustExist] = 1;
    r = fileDialogRequest(s);
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.filterGbk, "(*.xls)|*.xls||");
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.flags, kHideReadOnly | kFileMustExist | kOverwritePrompt | kPathMustExist);
    EXPECT_EQ(r.defaultSuffixGbk(), "xls");

    s.options = {};
    s.options[CommonDialogSettings::kCreatePrompt] = 1;
    s.options[CommonDialogSettings::kNoChangeFolder] = 1;
    s.filter = gbk(u8"图片|*.jpg;*.png|全部|*.*||");
    s.initialFilter = 1;
    r = fileDialogRequest(s);
    EXPECT_EQ(r.flags, kHideReadOnly | kCreatePrompt | kNoChangeDir);
    EXPECT_EQ(r.filterGbk, s.filter); // already ends in "||": unchanged
    EXPECT_EQ(r.filterIndex, 2);
    const auto filters = r.filters();
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].descriptionGbk, gbk(u8"图片"));
    EXPECT_EQ(filters[0].patternsGbk, (std::vector<std::string>{"*.jpg", "*.png"}));
    EXPECT_EQ(filters[1].patternsGbk, std::vector<std::string>{"*.*"});
    s.initialFilter = -4;
    EXPECT_EQ(fileDialogRequest(s).filterIndex, 1);
}

class CommonDialogTest : public KindWindowTest {
protected:
    void SetUp() override
    {
        previousFolder_ = QDir::currentPath();
        CommonDialogSettings s;
        s.filter = "(*.xls)|*.xls";
        s.defaultExtension = "*.xls";
        s.options[CommonDialogSettings::kFileMustExist] = 1;
        s.options[CommonDialogSettings::kOverwritePrompt] = 1;
        s.options[CommonDialogSettings::kPathMustExist] = 1;
        add(kDialog, UnitKind::CommonDialog, gbk(u8"通用对话框1"), {72, 88, 48, 32}, s);
        load();
    }
    void TearDown() override
    {
        setFileDialogPresenter({});
        QDir::setCurrent(previousFolder_);
        KindWindowTest::TearDown();
    }
    QString previousFolder_;
    QTemporaryDir folder_;
};

TEST_F(CommonDialogTest, InvisibleKindHasNoWidget)
{
    ASSERT_NE(object(kDialog), nullptr);
    EXPECT_EQ(widget(kDialog), nullptr);
}

TEST_F(CommonDialogTest, ConfirmSetsTheFileNameAndCancelKeepsIt)
{
    std::vector<FileDialogRequest> asked;
    const std::string chosen = runtime::utf8ToGbk(folder_.filePath(QStringLiteral("班级.xls")).toStdString());
    bool confirm = true;
    setFileDialogPresenter([&](const FileDialogRequest& r) {
        asked.push_back(r);
        return confirm ? FileDialogAnswer{true, chosen} : FileDialogAnswer{};
    });
    write(kDialog, 8, Value::integer(1));
    write(kDialog, 13, Value::text(runtime::utf8ToGbk(folder_.path().toStdString())));
    write(kDialog, 9, Value::text(gbk(u8"导出")));
    EXPECT_TRUE(openCommonDialog(kTestWindow, kDialog));
    EXPECT_EQ(read(kDialog, 10).asText(), chosen);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].save);
    EXPECT_EQ(asked[0].titleGbk, gbk(u8"导出"));
    EXPECT_EQ(asked[0].initialFolderGbk, runtime::utf8ToGbk(folder_.path().toStdString()));
    EXPECT_EQ(asked[0].filterGbk, "(*.xls)|*.xls||");
    EXPECT_EQ(asked[0].fileNameGbk, "");
    // Without the no-change-folder flag the chosen file's folder becomes current.
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(folder_.path()).canonicalPath());

    confirm = false;
    EXPECT_FALSE(openCommonDialog(kTestWindow, kDialog));
    EXPECT_EQ(read(kDialog, 10).asText(), chosen);
    // The earlier choice is offered again.
    EXPECT_EQ(asked.back().fileNameGbk, chosen);
}

TEST_F(CommonDialogTest, NoChangeFolderFlagKeepsTheCurrentFolder)
{
    setFileDialogPresenter([&](const FileDialogRequest&) {
        return FileDialogAnswer{true, runtime::utf8ToGbk(folder_.filePath(QStringLiteral("a.xls")).toStdString())};
    });
    write(kDialog, 19, Value::logical(true));
    EXPECT_TRUE(read(kDialog, 19).asLogical());
    const QString before = QDir::currentPath();
    EXPECT_TRUE(openCommonDialog(kTestWindow, kDialog));
    EXPECT_EQ(QDir::currentPath(), before);
}

// The real chooser once each way, answered from a timer as a user would.
TEST_F(CommonDialogTest, RealFileDialogConfirmsAndCancels)
{
    const QString existing = folder_.filePath(QStringLiteral("照片.jpg"));
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    FileDialogRequest request;
    request.titleGbk = gbk(u8"选择照片");
    request.initialFolderGbk = runtime::utf8ToGbk(folder_.path().toStdString());
    request.filterGbk = gbk(u8"图片|*.jpg;*.png||");
    request.filterIndex = 1;
    request.flags = kHideReadOnly | kFileMustExist;
    QString seenTitle;
    QStringList seenFilters;
    // Answers the chooser as soon as it is on screen (it may take a while to come up).
    auto answer = [&](bool accept) {
        auto* poll = new QTimer;
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, [&, poll, accept] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QFileDialog*>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                poll->stop();
                poll->deleteLater();
                seenTitle = dialog->windowTitle();
                seenFilters = dialog->nameFilters();
                if (accept) {
                    dialog->selectFile(existing);
                    QMetaObject::invokeMethod(dialog, "accept");
                } else {
                    dialog->reject();
                }
                return;
            }
        });
        poll->start();
    };
    answer(true);
    FileDialogAnswer confirmed = showFileDialog(request);
    EXPECT_TRUE(confirmed.confirmed);
    EXPECT_EQ(QFileInfo(QString::fromStdString(runtime::gbkToUtf8(confirmed.pathGbk))).canonicalFilePath(),
              QFileInfo(existing).canonicalFilePath());
    EXPECT_EQ(seenTitle, q(u8"选择照片"));
    EXPECT_EQ(seenFilters, QStringList{q(u8"图片 (*.jpg *.png)")});
    answer(false);
    EXPECT_FALSE(showFileDialog(request).confirmed);
}

} // namespace
} // namespace qr::forms::test
