#pragma once

// Qt's own texts in Russian, like the rest of the program: the buttons of message boxes, the file
// dialogs, the menus of line edits.

namespace zorvan::app {

// Loads Qt's Russian texts into the running application: from "translations" beside the
// executable, where the Windows build ships them, else from Qt's own translations folder. False
// when neither holds them; Qt's texts then stay English.
bool installQtTranslation();

} // namespace zorvan::app
