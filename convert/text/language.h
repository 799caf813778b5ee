#pragma once
// The language of the interface. Output files never depend on it.

enum class Language { Chinese, English };
