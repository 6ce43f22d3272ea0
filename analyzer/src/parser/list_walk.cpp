// The evaluation walk down left-recursive lists (see gn_walk_list).
#include "gn_nodes.h"

namespace {

// The slot of a list element's first child: the list before it.
st_node** first_child(st_node* node) {
  return reinterpret_cast<st_node**>(reinterpret_cast<char*>(node) +
                                     gn_shape_children(&gn_production_shapes[node->production])->offset);
}

}  // namespace

ag_word gn_walk_list(st_node* node, ag_word in) {
  // Down to the first element; each link on the way points back up.
  st_node* above = nullptr;
  while (gn_production_list_tails[node->production] != nullptr) {
    st_node** link = first_child(node);
    st_node* below = *link;
    *link = above;
    above = node;
    node = below;
  }
  ag_word state = in;
  try {
    gn_visit_node(node, state);
    // Up again: each link is set back before the element's own part runs.
    while (above != nullptr) {
      st_node* element = above;
      st_node** link = first_child(element);
      above = *link;
      *link = node;
      node = element;
      state = gn_production_list_tails[element->production](element, state);
    }
  } catch (...) {
    // A walk that stops (too deep) leaves the tree as it found it.
    while (above != nullptr) {
      st_node** link = first_child(above);
      st_node* next = *link;
      *link = node;
      node = above;
      above = next;
    }
    throw;
  }
  return state;
}
