#pragma once
// The extra width of the caption under the empty-view picture: the language library's string 20000,
// so that a language with longer words can widen it.

// |leading integer of the string| capped at 72, cached once read; -1 while the string is missing or
// empty, asked again at each call.
int GetCaptionMargin();
// The rule alone, for a string's text: -1 for null or empty.
int CaptionMarginFromText(const wchar_t* text) noexcept;
