#pragma once
// The menu and toolbar commands that build, rebuild and reset the network.
namespace quorin {
class CQuorinDoc;

void OnActionNewNetwork(CQuorinDoc& doc);
void OnActionForgetLearning(CQuorinDoc& doc);

// Reconfigure toolbar: one node more or fewer in a hidden layer.
void OnEditAddHL1Node(CQuorinDoc& doc);
void OnEditDeleteHL1Node(CQuorinDoc& doc);
void OnEditAddHL2Node(CQuorinDoc& doc);
void OnEditDeleteHL2Node(CQuorinDoc& doc);
void OnEditAddHL3Node(CQuorinDoc& doc);
void OnEditDeleteHL3Node(CQuorinDoc& doc);
// Whether those commands are offered: a network exists and no calculation thread runs.
int CanChangeNetwork(CQuorinDoc& doc);
// A hidden layer grows only behind the one before it, and loses its last node only when
// no layer stands behind it (that layer would vanish with it).
int CanAddHiddenNode(CQuorinDoc& doc, int layer);
int CanDeleteHiddenNode(CQuorinDoc& doc, int layer);

}  // namespace quorin
