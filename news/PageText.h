#pragma once
// What a watched page says, as opposed to how it is marked up.
#include <string>
#include <string_view>

// The visible text of an HTML page: tags, comments, scripts and styles dropped, the common
// character references decoded, every run of white space one blank, no blank at either end.
// Linear in the page's size.
std::string VisibleText(std::string_view html);

// The same text for reading: each block (paragraph, heading, cell, line break) on a line of
// its own, lines ending in CR LF.
std::string ReadableText(std::string_view html);

// Takes a freshly loaded page's visible text into the stored text. True when it is an
// update: the stored text was not empty and differs. The first load into an empty stored
// text is not an update. A load without any visible text (failed or blank) changes nothing.
bool TakePageText(std::string& stored, const std::string& fresh);
