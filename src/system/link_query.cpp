#include "system/link_query.h"

#include "model/ui_text.h"
#include "platform/prompts.h"

bool ConnectedOrSaySo(QWidget* parent, const LinkQuery& connected, int language,
                      const char* caption) {
    if (connected && connected()) return true;
    platform::MessageBox(parent, NotConnectedText(language), caption, platform::MbType::Ok);
    return false;
}
