// The well-formedness check of the interchange reader.
// pugixml checks the tag structure (names, nesting, quotes) but lets through much that XML
// forbids. XmlConformanceScan walks the UTF-8 text once, before pugixml parses it in place,
// and finds the rest: a '&' that begins no reference or names an undefined entity, a
// reference to a character XML does not allow, '<' in an attribute value, an attribute
// given twice, bytes that are not UTF-8, characters XML does not allow, "]]>" in text,
// "--" in a comment, a misplaced XML declaration, and anything but white space, comments
// and processing instructions around the one document element. It follows the markup
// only as far as it must to know where it is; what pugixml checks it need not repeat.
#pragma once

#include <QtGlobal>

#include <cstddef>
#include <optional>

// What is wrong with a text, and the byte offset where it was found.
struct XmlProblem
{
    const char *what;
    qlonglong offset;
};

// The first thing in the UTF-8 text (a byte-order mark may lead) that is not well-formed
// XML, or nothing. Never reads outside the bytes given.
std::optional<XmlProblem> FindXmlConformanceProblem(const char *data, size_t size);
