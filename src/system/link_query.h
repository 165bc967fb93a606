#pragma once
// A request that only a connected unit can take (a recall, a store, a reset
// of the user modes, a learn, the learn table, the WiFi module's restore)
// is refused in words while the main window's link is closed or still
// connecting: the link would drop it unsent, and the user would see nothing.
#include <functional>

class QWidget;

// Asked at each press: the main window's link is connected.
using LinkQuery = std::function<bool()>;

// True when the link is connected. Otherwise an OK box over parent says
// "Not connected to the equipment" in language under caption, and the
// caller sends nothing. An unset query is never connected.
bool ConnectedOrSaySo(QWidget* parent, const LinkQuery& connected, int language,
                      const char* caption);
