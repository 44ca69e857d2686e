#pragma once

// The user-interface font is named by its Windows family; elsewhere a CJK family that the
// system has takes its place.
namespace VaruOs {
void installFontSubstitutes();
}
