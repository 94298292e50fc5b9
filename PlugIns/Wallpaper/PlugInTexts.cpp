#include "PlugIns/Wallpaper/PlugInTexts.h"

namespace {
const PlugInTexts kEnglish{
    L"Set as Wallpaper",
    L"Rescales and crop the current image and sets is as your desktop background image. Supports JPEG, BMP, PNG "
    L"and TIFF.",
    L"Lumenfild - Set As Wallpaper ",
    L"Your are about to set the current image as Desktop Wallpaper.\r\n\r\n"
    L"A copy of the image will be made, then be rotated if needed, rescaled and cropped to fill the entire surface "
    L"of the primary display monitor.\r\n\r\n"
    L"Note that landscape-oriented pictures tends to work best on most monitors, orientation mismatch results in "
    L"heavy cropping.\r\n\r\n"
    L"Proceed with wallpaper change?",
    L"Set as Wallpaper: unsupported file format. Please use a JPEG, BMP, PNG, TIFF or GIF file.",
};

const PlugInTexts kFrench{
    L"Mettre en fond d'\u00e9cran",
    L"Place une copie de l'image courante en fond d'\u00e9cran sur votre bureau. Supporte JPEG, BMP, PNG et TIFF.",
    L"Lumenfild - Mettre en fond d'\u00e9cran ",
    L"Vous \u00eates en train de placer l'image courante on fond d'\u00e9cran.\r\n\r\n"
    L"Une copie de l'image va \u00eatre effectu\u00e9e, puis sa taille sera ajust\u00e9e pour correspondre aux "
    L"dimensions de l'\u00e9cran principal.\r\n\r\n"
    L"Il est pr\u00e9f\u00e9rable d'utiliser une image en orientation paysage, les images en orientation portrait "
    L"risquent d'\u00eatre coup\u00e9es.\r\n\r\n"
    L"Proc\u00e9der au changement de fond d'\u00e9cran ?",
    L"Mettre en fond d'\u00e9cran: format d'image non support\u00e9. Utilisez un JPEG, BMP, PNG, TIFF ou GIF.",
};
}

const PlugInTexts& TextsFor(LANGID language) noexcept
{
    return PRIMARYLANGID(language) == LANG_FRENCH ? kFrench : kEnglish;
}
