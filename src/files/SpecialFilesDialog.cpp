#include "files/SpecialFilesDialog.h"

#include "files/SideFiles.h"
#include "files/SpecialFiles.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

// The files are rendered from the network and the Grid, which a worker changes while it runs.
bool CanOptionsFile(const CQuorinDoc& doc) { return !CalculationRunning(doc); }

void OnOptionsFile(CQuorinDoc& doc) {
    CQuorinApp& app = doc.App();
    app.Trace("OnOptionsFile");
    if (!CanOptionsFile(doc)) return;
    const std::string path = SideFileBase(doc);
    const std::string base = path.empty() ? std::string("Untitled.tvq") : path;
    CDialogForm form;
    form.Id = "SpecialFiles";
    form.Title = "Special files";
    form.AddText("Base", "Base file name", base,
                 "The special files are named from this path; every save names them from the "
                 "path it stores.");
    const auto check = [&](const char* key, const char* text, const std::string& name, bool on) {
        form.AddCheck(key, Format("%s (%s)", text, name.c_str()), on);
    };
    check("Grid", "Grid names, types and values", SpecialFileName(base, kGridEnding), doc.m_SpecialGrid != 0);
    check("Weights", "Connection and weight values", SpecialFileName(base, kWeightsEnding),
          doc.m_SpecialWeights != 0);
    check("Biases", "Node bias and weight values", SpecialFileName(base, kBiasesEnding),
          doc.m_SpecialBiases != 0);
    check("Graph", "Graph cycle and error data", SpecialFileName(base, kGraphEnding), doc.m_SpecialGraph != 0);
    check("Details", "Network node and connection details", DetailsFileName(base),
          (doc.m_AutoSaveFlags & kAutoSaveDetails) != 0);
    form.AddChoice("When", "", {"Save with the main file on exit", "Save now"}, 0);
    if (app.Prompts().ShowDialog(form) != IdOk) return;

    doc.m_SpecialGrid = form.Check("Grid") ? 1 : 0;
    doc.m_SpecialWeights = form.Check("Weights") ? 1 : 0;
    doc.m_SpecialBiases = form.Check("Biases") ? 1 : 0;
    doc.m_SpecialGraph = form.Check("Graph") ? 1 : 0;
    if (form.Check("Details"))
        doc.m_AutoSaveFlags |= kAutoSaveDetails;
    else
        doc.m_AutoSaveFlags &= ~kAutoSaveDetails;
    doc.SetModified();
    const std::string chosen = form.Text("Base").empty() ? base : form.Text("Base");
    if (form.Int("When") == 1) SaveOptionalFiles(doc, chosen);
}

}  // namespace quorin
