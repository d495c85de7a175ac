#include "MessageTable.h"

#include <array>

namespace {
struct TFallbackMessage {
    int Number;
    const char* Text;
};

// English texts for the messages used before the language file is loaded.
constexpr std::array Fallback{
    TFallbackMessage{26, "No Module"},
    TFallbackMessage{33, "The settings could not be read from the module. Check the USB cable "
                         "and the module's power, then read the settings again."},
    TFallbackMessage{34, "Error"},
    TFallbackMessage{35, "Information"},
    TFallbackMessage{36, "Confirmation"},
    TFallbackMessage{37, "Warning"},
    TFallbackMessage{38, "Yes"},
    TFallbackMessage{39, "No"},
    TFallbackMessage{40, "Cancel"},
    TFallbackMessage{41, "Reading TLX2 settings"},
    TFallbackMessage{42, "Please wait..."},
    TFallbackMessage{47, "Writing TLX2 settings"},
    TFallbackMessage{64, "USB password"},
    TFallbackMessage{65, "The module is locked. Enter its USB password:"},
};
} // namespace

QString TMessageTable::WideMess(int n) const {
    for (const TFallbackMessage& message : Fallback)
        if (message.Number == n)
            return QString::fromLatin1(message.Text);
    return {};
}
