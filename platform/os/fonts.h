#pragma once

// The user-interface font is named by its Windows family; elsewhere a CJK family that the
// system has takes its place.
namespace VaruOs {
void installFontSubstitutes();
// The embedded browser's sandbox cannot run for root: it is switched off then.
void prepareWebEngine();
} // namespace VaruOs
