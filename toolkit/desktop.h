// The program's place on the desktop: the desktop file that task bars group its windows under,
// the window icon, and Qt's own texts (the buttons of the dialogs and boxes, the context menus of
// the edits) in Japanese. Knows nothing about the ledger.
#pragma once

namespace toolkit {

// Once the application object exists, under the application's name (kivelo): the desktop file
// kivelo.desktop, so that the desktop shows the windows under the menu entry's name and icon, and
// the window icon kivelo.svg as installed with the program, else the copy built into it. The
// window captions stay as the windows set them: no display name is set, since Qt
// would append it to every caption.
void JoinDesktop();

// Installs Qt's own Japanese translation, qtbase_ja from Qt's translations folder, once; false when
// that catalogue is not installed, and Qt's texts stay English.
bool LoadQtTextsInJapanese();

} // namespace toolkit
