#include "forms/kinds/common_dialog.h"

#include "forms/kinds/common_dialog_properties.h"
#include "forms/kinds/kind_support.h"
#include "forms/kinds/standard_kinds.h"

#include <array>

namespace qr::forms {
namespace kinds {
namespace {

using enum common_dialog_property::Index;

class CommonDialogObject : public ComponentObject {
public:
    CommonDialogObject(const CreateRequest& request, const CommonDialogSettings& settings)
        : ComponentObject(request.windowId, request.componentId)
        , settings(settings)
    {}

    CommonDialogSettings settings;

    int setProperty(int index, const runtime::Value& v)
    {
        switch (index) {
        case kType: settings.dialogType = intOf(v); break;
        case kTitle: settings.title = textOf(v); break;
        case kFileName: settings.fileName = textOf(v); break;
        case kFilter: settings.filter = textOf(v); break;
        case kInitialFilter: settings.initialFilter = intOf(v); break;
        case kInitialFolder: settings.initialFolder = textOf(v); break;
        case kDefaultExtension: settings.defaultExtension = textOf(v); break;
        case kExtraText1: settings.extraText1 = textOf(v); break;
        case kExtraText2: settings.extraText2 = textOf(v); break;
        default:
            if (index >= kFirstOption && index <= kLastOption)
                settings.options[std::size_t(index - kFirstOption)] = intOf(v);
        }
        return 0;
    }

    runtime::Value property(int index) const
    {
        using runtime::Value;
        switch (index) {
        case kType: return Value::integer(settings.dialogType);
        case kTitle: return Value::text(settings.title);
        case kFileName: return Value::text(settings.fileName);
        case kFilter: return Value::text(settings.filter);
        case kInitialFilter: return Value::integer(settings.initialFilter);
        case kInitialFolder: return Value::text(settings.initialFolder);
        case kDefaultExtension: return Value::text(settings.defaultExtension);
        case kExtraText1: return Value::text(settings.extraText1);
        case kExtraText2: return Value::text(settings.extraText2);
        default:
            if (index >= kFirstOption && index <= kLastOption) {
                const std::int32_t v = settings.options[std::size_t(index - kFirstOption)];
                // 15 .. 19 are on/off flags; the rest are font and help numbers.
                return index - kFirstOption <= int(CommonDialogSettings::kNoChangeFolder) ? Value::logical(v != 0)
                                                                                          : Value::integer(v);
            }
            return {};
        }
    }
};

using namespace property_type;
constexpr std::array<PropertyDescriptor, 22> kCommonDialogProperties = {{
    {"类型", "Type", kChoice},
    {"标题", "Title", kText},
    {"文件名", "FileName", kFileName},
    {"过滤器", "Filter", kText},
    {"初始过滤器", "FilterIndex", kInteger},
    {"初始目录", "InitDir", kText},
    {"默认文件后缀", "DefaultExt", kText},
    {"文件不存在时提示创建", "CreatePrompt", kLogical},
    {"文件必须存在", "FileMustExist", kLogical},
    {"文件覆盖提示", "OverwritePrompt", kLogical},
    {"路径必须存在", "PathMustExist", kLogical},
    {"不改变目录", "NoChangeDir", kLogical},
    {"", "", kInteger},
    {"", "", kInteger},
    {"", "", kInteger},
    {"", "", kInteger},
    {"", "", kInteger},
    {"", "", kInteger},
    {"", "", kInteger},
    {"", "", kInteger},
    {"", "", kText},
    {"", "", kText},
}};

std::unique_ptr<ComponentObject> create(const CreateRequest& request)
{
    auto s = settingsFor<CommonDialogSettings>(request);
    if (!s)
        return nullptr;
    return std::make_unique<CommonDialogObject>(request, *s);
}

int setProperty(ComponentObject& o, int index, const runtime::Value& v)
{
    return static_cast<CommonDialogObject&>(o).setProperty(index, v);
}

runtime::Value getProperty(const ComponentObject& o, int index)
{
    return static_cast<const CommonDialogObject&>(o).property(index);
}

UnitData currentUnitData(const ComponentObject& o) { return static_cast<const CommonDialogObject&>(o).settings; }

} // namespace

const UnitDescriptor& commonDialogKind()
{
    static const UnitDescriptor descriptor{std::uint32_t(UnitKind::CommonDialog),
                                           "通用对话框",
                                           "CommonDlg",
                                           kind_flags::kInvisible,
                                           30,
                                           kCommonDialogProperties,
                                           KindOperations{create, setProperty, currentUnitData, getProperty, nullptr}};
    return descriptor;
}

} // namespace kinds

FileDialogRequest fileDialogRequest(const CommonDialogSettings& settings)
{
    using namespace file_dialog_flags;
    FileDialogRequest request;
    request.save = settings.dialogType == 1;
    const auto& o = settings.options;
    request.flags = kHideReadOnly;
    if (o[CommonDialogSettings::kCreatePrompt])
        request.flags |= kCreatePrompt;
    if (o[CommonDialogSettings::kFileMustExist])
        request.flags |= kFileMustExist;
    if (o[CommonDialogSettings::kOverwritePrompt])
        request.flags |= kOverwritePrompt;
    if (o[CommonDialogSettings::kPathMustExist])
        request.flags |= kPathMustExist;
    if (o[CommonDialogSettings::kNoChangeFolder])
        request.flags |= kNoChangeDir;
    request.filterGbk = settings.filter;
    if (!request.filterGbk.empty() &&
        (request.filterGbk.size() < 2 || request.filterGbk.compare(request.filterGbk.size() - 2, 2, "||") != 0))
        request.filterGbk += "||";
    request.filterIndex = request.filterGbk.empty() ? 0 : settings.initialFilter < 0 ? 1 : settings.initialFilter + 1;
    request.titleGbk = settings.title;
    request.fileNameGbk = settings.fileName;
    request.initialFolderGbk = settings.initialFolder;
    request.defaultExtensionGbk = settings.defaultExtension;
    return request;
}

bool openCommonDialog(std::uint32_t windowId, std::uint32_t componentId)
{
    ComponentObject& object = requireComponentObject(windowId, componentId);
    auto* dialog = dynamic_cast<kinds::CommonDialogObject*>(&object);
    if (!dialog || (dialog->settings.dialogType != 0 && dialog->settings.dialogType != 1))
        return false;
    const FileDialogAnswer answer = askForFile(fileDialogRequest(dialog->settings));
    // The window may have gone while the chooser was open.
    if (!answer.confirmed || findComponentObject(windowId, componentId) != &object)
        return false;
    dialog->settings.fileName = answer.pathGbk;
    return true;
}

} // namespace qr::forms
