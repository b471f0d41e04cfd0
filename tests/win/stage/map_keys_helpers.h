// Driving the map view's editing keys, the clipboard and the Edit menu as the user
// does: keys go to the focused map view with the modifiers held in the key state.
#pragma once

#include "stage/view/map_clipboard.h"
#include "support/editor_session.h"

#include <optional>
#include <string>
#include <vector>

namespace vexa::test {

enum Modifier { kNoModifier = 0, kCtrl = 1, kShift = 2 };

// A letter pressed alone also arrives as its character, as the message loop makes it.
void pressMapKey(HWND mapView, WPARAM key, int modifiers = kNoModifier);

// The two clipboard forms of a copied object, and an object put there as a copy would.
std::optional<MapObjectClip> clipboardObject();
std::wstring clipboardText();
void putOnClipboard(const MapObjectClip& object);
void emptyClipboard();

// The Edit menu item's state once the menu opens.
bool editItemEnabled(EditorSession& editor, int id);

} // namespace vexa::test
