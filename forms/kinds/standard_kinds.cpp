#include "forms/kinds/standard_kinds.h"

#include "forms/kinds/image/picture_decoder.h"
#include "forms/registry/picture_decoding.h"

namespace qr::forms {

void registerStandardKinds()
{
    for (const UnitDescriptor* kind :
         {&kinds::editBoxKind(), &kinds::comboBoxKind(), &kinds::labelKind(), &kinds::buttonKind(),
          &kinds::groupBoxKind(), &kinds::pictureBoxKind(), &kinds::commonDialogKind(), &kinds::externalDatabaseKind(),
          &kinds::toolBarKind(), &kinds::reportListKind()})
        registerKind(*kind);
    setPictureDecoder(
        [](std::span<const std::uint8_t> bytes) { return decodePictureFile(bytes.data(), bytes.size()); });
}

} // namespace qr::forms
