// Which memo records a selection of the tree exports, and in which order: the records the
// memo export (ExportMemos) writes, and that the listings of a selection reuse.
#pragma once

#include "MemoListing.h"
#include "MemoRecord.h"

#include <vector>

class OutlineNode;

// The records of the selected nodes (in pre-order, each carrying a TMemoInfo), in the
// order to write, each with the pid it is written with: every selected node as a
// top-level memo (pid "root"), and each selected level-0 node followed by all its children
// (selected or not, shown or hidden by the filter) with their own pid; a selected
// sub-memo whose memo is selected too comes only with its memo. Nodes without a record
// are left out. Nothing selected gives no records.
std::vector<MemoRecord> MemoExportOrder(const std::vector<OutlineNode *> &selected);

// The entries of a listing of the selected nodes (in pre-order): each selected node, and
// for one at level 0 the texts of all its children (selected or not, shown or hidden);
// a sub-memo selected with its memo is listed only under it. Nodes without a record are
// left out.
std::vector<ListingEntry> MemoListingEntries(const std::vector<OutlineNode *> &selected);
