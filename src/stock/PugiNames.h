#pragma once

#include <QString>

#include <pugixml.hpp>

#include <cstring>

// Element and attribute lookups by local name: office documents are read by
// their elements' names whatever namespace prefix the writing program chose.
namespace PugiNames {

inline bool isLocal(const char *name, const char *local)
{
    const char *colon = std::strchr(name, ':');
    return std::strcmp(colon ? colon + 1 : name, local) == 0;
}

inline bool named(const pugi::xml_node &node, const char *local)
{
    return node.type() == pugi::node_element && isLocal(node.name(), local);
}

inline pugi::xml_node child(const pugi::xml_node &parent, const char *local)
{
    for (const pugi::xml_node &node : parent.children())
        if (named(node, local))
            return node;
    return {};
}

inline QString attribute(const pugi::xml_node &node, const char *local)
{
    for (const pugi::xml_attribute &attr : node.attributes())
        if (isLocal(attr.name(), local))
            return QString::fromUtf8(attr.value());
    return {};
}

} // namespace PugiNames
