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
bool CanChangeNetwork(const CQuorinDoc& doc);
// A hidden layer grows only behind the one before it, and loses its last node only when
// no layer stands behind it (that layer would vanish with it).
bool CanAddHL1Node(const CQuorinDoc& doc);
bool CanDeleteHL1Node(const CQuorinDoc& doc);
bool CanAddHL2Node(const CQuorinDoc& doc);
bool CanDeleteHL2Node(const CQuorinDoc& doc);
bool CanAddHL3Node(const CQuorinDoc& doc);
bool CanDeleteHL3Node(const CQuorinDoc& doc);

// Menu availability.
bool CanNewNetwork(const CQuorinDoc& doc);
bool CanForgetLearning(const CQuorinDoc& doc);
bool CanChangeNetworkShape(const CQuorinDoc& doc);

}  // namespace quorin
