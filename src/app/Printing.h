#pragma once
// File > Print, Print Preview and Print Setup: the Grid prints as a table over pages, every
// other display as a picture fitted to the page.
class QPrinter;
class QWidget;

namespace quorin {
class CQuorinView;

// The page setup the three commands share for the whole session.
QPrinter& SessionPrinter();
// Prints what the view shows now.
void PrintView(CQuorinView& view, QPrinter& printer);

void OnFilePrint(CQuorinView& view, QWidget* parent);
void OnFilePrintPreview(CQuorinView& view, QWidget* parent);
void OnFilePrintSetup(QWidget* parent);

}  // namespace quorin
