#pragma once
// What association detection needs from network analysis and from Auto Save, gathered in
// one place.
#include <string>
#include <vector>

namespace quorin {
class CQuorinDoc;

// The sum of absolute outgoing weights of every input column (the total of three input
// nodes for an Image column), indexed by Grid column; 0 for columns that are not inputs.
// Weights that are not connected (type other than 0) add nothing. The caller holds the
// network lock.
std::vector<double> AssociationSumsOfWeights(CQuorinDoc& doc);

// The Auto Save dialog in its associations form, with "backup now" proposed when the
// document has a network. False when the user cancelled: detection does not start.
// On OK the auto-save flags become 0x80 (associations box) plus 0x10 ("backup now"),
// and when any is set the associations file is confirmed at once (see below).
bool AssociationSetAutoSave(CQuorinDoc& doc, int backupNow);

// Auto Save's step after each association found: with bit 0x80 set, asks once per opened
// document for the associations file ("Save associations file", the derived ".as.txt",
// created without emptying it) and returns its path; "NOK" when the dialog was cancelled
// or the file could not be made (bit 0x80 cleared); "OK" when associations are not saved.
// Never called with the network lock held.
std::string AssociationAutoSave(CQuorinDoc& doc);

// The associations file as confirmed since the document was opened.
bool AssociationsFileConfirmed(const CQuorinDoc& doc);
const std::string& AssociationsFileName(const CQuorinDoc& doc);
// The file could not be reopened: saving associations stops (confirmation and bit 0x80 off).
void StopAssociationsFile(CQuorinDoc& doc);
// Scripts name the file themselves: created without emptying, confirmed, bit 0x80 on.
// False (after the failure message) when it cannot be made.
bool UseAssociationsFile(CQuorinDoc& doc, const std::string& path);

}  // namespace quorin
