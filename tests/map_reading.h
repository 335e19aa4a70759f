// Reads a map back by its data attributes, as a script would: each cell's
// record by disk (the panel's data-disk), track (the row's data-track) and
// place in the row (data-index), C and H its own or else the row's.
#ifndef TESTS_MAP_READING_H
#define TESTS_MAP_READING_H

#include "xml_tree.h"

#include <map>
#include <string>
#include <tuple>
#include <vector>

struct DrawnRecord {
    int c = 0, h = 0, r = 0, n = 0;
    std::string state;
    std::string files;  // data-file
    std::string title;
    std::string symbol;  // the drawing it uses: "#w"
};

struct DrawnMap {
    std::map<std::tuple<int, int, int>, DrawnRecord> records;  // by disk, track, index
    std::vector<std::string> marks;  // the titles of the marks where files run out of data
    std::vector<int> panels;         // the disks drawn
    std::string text;                // all the text drawn, joined
};

inline void readElement(const xmltest::Element& element, int disk, int track, int c, int h, DrawnMap& map)
{
    const auto number = [&](const char* name, int otherwise) {
        const std::string* value = element.attribute(name);
        return value != nullptr ? std::stoi(*value) : otherwise;
    };
    if (element.attribute("data-disk") != nullptr) {
        disk = number("data-disk", -1);
        map.panels.push_back(disk);
    }
    if (element.attribute("data-track") != nullptr) {
        track = number("data-track", -1);
        c = number("data-c", -1);
        h = number("data-h", -1);
    }
    const std::string* href = element.attribute("l:href");
    if (element.attribute("data-index") != nullptr) {
        DrawnRecord& record = map.records[{disk, track, number("data-index", -1)}];
        record = {number("data-c", c), number("data-h", h), number("data-r", -1), number("data-n", -1),
                  *element.attribute("data-state"), "", element.childText("title"), href != nullptr ? *href : ""};
        if (const std::string* files = element.attribute("data-file")) {
            record.files = *files;
        }
    } else if (href != nullptr && *href == "#z" && disk >= 0) {
        map.marks.push_back(element.childText("title"));
    }
    if (element.name == "text") {
        map.text += element.text + "\n";
    }
    for (const xmltest::Element& child : element.children) {
        readElement(child, disk, track, c, h, map);
    }
}

// False, with the reason in error, when svg is not well-formed.
inline bool readMap(const std::string& svg, DrawnMap& map, std::string& error)
{
    xmltest::Element root;
    if (!xmltest::parse(svg, root, error)) {
        return false;
    }
    readElement(root, -1, -1, -1, -1, map);
    return true;
}

#endif
