#pragma once
// Options > "&Special Files...": which special files every save writes beside the document.
namespace quorin {
class CQuorinDoc;

// Shows the "Special files" dialog; on OK stores the choices and, when asked, writes the files at
// once beside the base file name.
void OnOptionsFile(CQuorinDoc& doc);
bool CanOptionsFile(const CQuorinDoc& doc);

}  // namespace quorin
