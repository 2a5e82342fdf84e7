// The ids formgen generates from the catalogue's code names name the components the
// application means: a code put on the wrong record would send a handler elsewhere.
#include "app/catalogue/catalogue.h"
#include "forms/template/template_reader.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qr::forms {
namespace {

const TemplateStore& store()
{
    static const TemplateStore parsed = loadTemplateStore(catalogue::templateStoreBytes());
    return parsed;
}

// The stored name of component `id` of window `windowId` (a menu item: its caption).
std::string nameOf(std::uint32_t windowId, std::uint32_t id)
{
    const WindowTemplate* w = store().find(windowId);
    if (!w)
        return "no window";
    const ComponentRecord* r = w->find(id);
    if (!r)
        return "no component";
    if (const auto* item = r->as<MenuItem>())
        return item->caption;
    return r->name;
}

template <class Form> void expectStudentForm()
{
    const std::vector<std::pair<std::uint32_t, const char*>> fields = {
        {Form::kName, "编辑框_姓名"},
        {Form::kSex, "组合框_性别"},
        {Form::kHeight, "编辑框_身高"},
        {Form::kWeight, "编辑框_体重"},
        {Form::kAge, "编辑框_年龄"},
        {Form::kRegisterNumber, "编辑框_学籍辅号"},
        {Form::kNationalNumber, "编辑框_全国学号"},
        {Form::kPhoto, "图片框_照片"},
        {Form::kBoarding, "组合框_是否住宿"},
        {Form::kDormitory, "编辑框_宿舍号"},
        {Form::kBed, "编辑框_床位号"},
        {Form::kIdCard, "编辑框_身份证号"},
        {Form::kAddress, "编辑框_家庭住址"},
        {Form::kGuardian1Relation, "组合框_监护1关系"},
        {Form::kGuardian1Name, "编辑框_监护1姓名"},
        {Form::kGuardian1Phone, "编辑框_监护1电话"},
        {Form::kGuardian2Relation, "组合框_监护2关系"},
        {Form::kGuardian2Name, "编辑框_监护2姓名"},
        {Form::kGuardian2Phone, "编辑框_监护2电话"},
        {Form::kPhotoDialog, "通用对话框1"},
    };
    for (const auto& [id, name] : fields)
        EXPECT_EQ(nameOf(Form::kId, id), name);
}

TEST(CatalogueIds, WindowIdsAreTheStoredWindowsInMapOrder)
{
    const std::vector<std::uint32_t> ids = {catalogue::kStartWindow,  catalogue::kAddForm,    catalogue::kMainWindow,
                                            catalogue::kAboutWindow,  catalogue::kModifyForm, catalogue::kDetailView,
                                            catalogue::kDeletedWindow};
    ASSERT_EQ(store().windows.size(), ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(store().windows[i].windowId, ids[i]) << i;
}

TEST(CatalogueIds, StudentFormsCodeTheirFieldsAlike)
{
    expectStudentForm<catalogue::AddForm>();
    expectStudentForm<catalogue::ModifyForm>();
    expectStudentForm<catalogue::DetailView>();
}

TEST(CatalogueIds, WindowComponentsNameWhatTheHandlersUse)
{
    using catalogue::DeletedWindow;
    using catalogue::MainWindow;
    using catalogue::StartWindow;
    EXPECT_EQ(nameOf(StartWindow::kId, StartWindow::kClassEdit), "编辑框_班级");
    EXPECT_EQ(nameOf(StartWindow::kId, StartWindow::kTrayMenu), "系统开关");
    EXPECT_EQ(nameOf(MainWindow::kId, MainWindow::kList), "超级列表框1");
    EXPECT_EQ(nameOf(MainWindow::kId, MainWindow::kRowMenu), "信息维护");
    EXPECT_EQ(nameOf(MainWindow::kId, MainWindow::kFileDialog), "通用对话框1");
    EXPECT_EQ(nameOf(MainWindow::kId, MainWindow::kSpreadsheet), "外部数据库1");
    EXPECT_EQ(nameOf(DeletedWindow::kId, DeletedWindow::kList), "超级列表框1");
}

} // namespace
} // namespace qr::forms
