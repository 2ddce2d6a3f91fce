// The lines the program posts into the chat room.
#pragma once

#include "host/text.h"

namespace app {

// Posted first when the main window loads.
inline const host::Text kLoadBanner =
    u"\u2022 \u00BA\u2022 MARIGOLD IDLE v1 \u2022 Corvid \u2022\u00BA \u2022";

// Posted right after, with the screen name (possibly empty) in the middle.
inline host::Text LoadedByBanner(const host::Text& screenName) {
  return u" \u2022 \u00BA\u2022 Now Loaded by " + screenName + u" \u2022\u00BA \u2022";
}

// Posted once a minute while idling.
inline host::Text IdleBanner(const host::Text& screenName, const host::Text& minutes,
                             const host::Text& since) {
  return u"\u2022 \u00BA\u2022 MARIGOLD IDLE v1 [" + screenName + u"][" + minutes +
         u"mins][Idle since:" + since;
}

}  // namespace app
