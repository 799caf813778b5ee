#pragma once
// Whether the user reads Chinese, as the system says: on Windows the user's
// interface language; elsewhere the locale of messages (LC_ALL, then
// LC_MESSAGES, then LANG: the first one set decides, and "zh..." is Chinese).
// With none of them set, the program speaks Chinese, as it always did.
bool UserReadsChinese();
