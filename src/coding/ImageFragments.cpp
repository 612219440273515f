// Fragments: a raster of regions of one bitmap, each coded as an image in its own row.
#include "coding/ImageFragments.h"

#include <algorithm>
#include <charconv>

#include "coding/Bitmap.h"
#include "coding/ImageCodes.h"
#include "coding/ImageSignature.h"
#include "coding/ValueText.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

constexpr int kMaxFragmentsAcross = 100;
constexpr int kMaxFragmentSide = 4096;
// What one fragmenting may code in all, so that a dialog entry cannot make it run for hours.
constexpr long long kMaxFragmentingPixels = 64LL * 1024 * 1024;
constexpr int kMaxPrefix = 6;

// Reads "label" then a decimal number from text at pos.
bool ReadField(const std::string& text, size_t& pos, const char* label, int& value) {
    const std::string expected(label);
    if (text.compare(pos, expected.size(), expected) != 0) return false;
    pos += expected.size();
    const char* first = text.data() + pos;
    const auto [end, ec] = std::from_chars(first, text.data() + text.size(), value);
    if (ec != std::errc()) return false;
    pos += static_cast<size_t>(end - first);
    return true;
}


bool ValidFragment(const CFragment& f) {
    return f.Width >= 1 && f.Height >= 1 &&
           static_cast<long long>(f.Width) * f.Height <= kMaxFragmentPixels && f.Across >= 1 &&
           f.Down >= 1 && f.X >= 0 && f.X < f.Across && f.Y >= 0 && f.Y < f.Down &&
           !f.Source.empty();
}

std::string RegionOf(const CBitmap& bitmap, const CFragment& f) {
    const std::int64_t left = static_cast<std::int64_t>(bitmap.Width() / f.Across) * f.X;
    const std::int64_t top = static_cast<std::int64_t>(bitmap.Height() / f.Down) * f.Y;
    return RegionSignature(bitmap, f.Width, f.Height, left, top);
}

}  // namespace

std::string FragmentDescriptor(const CFragment& f) {
    return Format("#fragment W=%d, H=%d, X=%d, Y=%d, x=%d, y=%d, %s", f.Width, f.Height,
                  f.Across, f.Down, f.X, f.Y, f.Source.c_str());
}

bool ParseFragmentDescriptor(const std::string& descriptor, CFragment& f) {
    size_t pos = 0;
    f = CFragment();
    if (!ReadField(descriptor, pos, "#fragment W=", f.Width) ||
        !ReadField(descriptor, pos, ", H=", f.Height) ||
        !ReadField(descriptor, pos, ", X=", f.Across) ||
        !ReadField(descriptor, pos, ", Y=", f.Down) || !ReadField(descriptor, pos, ", x=", f.X) ||
        !ReadField(descriptor, pos, ", y=", f.Y) || descriptor.compare(pos, 2, ", ") != 0)
        return false;
    f.Source = descriptor.substr(pos + 2);
    return ValidFragment(f);
}

std::string FragmentSignature(const CFragment& fragment) {
    CBitmap bitmap;
    if (!ValidFragment(fragment) || !bitmap.LoadFile(fragment.Source)) return kNoImage;
    return RegionOf(bitmap, fragment);
}

int HighestFragmentNumber(CQuorinDoc& doc, const std::string& prefix, bool* found) {
    doc.App().Trace("HighestFragmentNumber   Prefix %s", prefix.c_str());
    int highest = 0;
    bool any = false;
    for (const CImage& image : doc.m_Images) {
        const std::string& name = image.ImageName;
        if (name.size() < prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        // All the digits count, so that numbering goes on past 999999.
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(),
                                              [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const int number = std::stoi(digits);
        if (!any || number > highest) highest = number;
        any = true;
    }
    if (found) *found = any;
    return highest;
}

int PlaceImageFragment(CQuorinDoc& doc, const std::string& imageName,
                       const std::string& descriptor, int column, int row, double pairCode,
                       double edgeCode, double blockCode) {
    doc.App().Trace("PlaceImageFragment   Name %s File %s Column %d Row %d", imageName.c_str(),
                    descriptor.c_str(), column, row);
    if (!doc.ValidCol(column) || column >= doc.m_ColCount || !doc.ValidRow(row) ||
        doc.m_InOuts[column].Mode != Image)
        return 0;
    if (!ImageIsDuplicate(doc, imageName, descriptor, column, pairCode, edgeCode, blockCode) &&
        (imageName.empty() || imageName[0] != '~'))
        NewImage(doc, imageName, descriptor, column, pairCode, edgeCode, blockCode);
    doc.SetValue(column, row, pairCode, 1, 0, 0, 1);
    return 1;
}

int FragmentImage(CQuorinDoc& doc, const std::string& fileName, const std::string& prefix,
                  int width, int height, int across, int down, int column, int row) {
    doc.App().Trace("FragmentImage   File %s Prefix %s W %d H %d X %d Y %d Column %d Row %d",
                    fileName.c_str(), prefix.c_str(), width, height, across, down, column, row);
    if (!doc.ValidCol(column) || column >= doc.m_ColCount || doc.m_InOuts[column].Mode != Image ||
        row < 0)
        return 0;
    CFragment f{width, height, across, down, 0, 0, fileName};
    if (!ValidFragment(f) ||
        static_cast<long long>(width) * height * across * down > kMaxFragmentingPixels)
        return 0;
    CBitmap bitmap;
    if (!bitmap.LoadFile(fileName)) {
        doc.App().Prompts().Inform(CannotLoadMessage(fileName));
        return 0;
    }
    bool found = false;
    const int highest = HighestFragmentNumber(doc, prefix, &found);
    long long number = found ? static_cast<long long>(highest) + 1 : 0;
    int placed = 0;
    bool stopped = false;
    for (f.Y = 0; f.Y < down && !stopped; ++f.Y) {
        for (f.X = 0; f.X < across; ++f.X) {
            if (number > 999999999) {
                stopped = true;
                break;
            }
            const std::string descriptor = FragmentDescriptor(f);
            const std::string signature = RegionOf(bitmap, f);
            RememberImageSignature(doc, descriptor, fileName, signature);
            const std::string name = prefix + Format("%06lld", number++);
            double pair = SignatureCode(signature, 1);
            double edge = SignatureCode(signature, 2);
            double block = SignatureCode(signature, 3);
            MakeImageCodesDistinct(doc, name, pair, edge, block);
            if (row >= static_cast<int>(doc.m_Examples.size())) doc.AddRow(0, Training, 0, 1);
            if (!PlaceImageFragment(doc, name, descriptor, column, row, pair, edge, block)) {
                stopped = true;
                break;
            }
            ++placed;
            ++row;
        }
    }
    PurgeImages(doc, column);
    doc.RenormaliseAll(1);
    return placed;
}

bool CanFragmentImage(const CQuorinDoc& doc, int column, int row) {
    return doc.ValidCol(column) && column < doc.m_ColCount && doc.ValidRow(row) &&
           doc.m_InOuts[column].Mode == Image && !doc.m_Worker.Busy();
}

int PreFragment(CQuorinDoc& doc, int column, int row) {
    doc.App().Trace("PreFragment   Column %d Row %d", column, row);
    if (!CanFragmentImage(doc, column, row)) return 0;
    IPrompts& prompts = doc.App().Prompts();
    const std::string name = FormatCellValue(doc, column, row);
    const std::string current = GetImageFileName(doc, name);
    CFileDialogRequest request;
    request.Title = "Select an Image file to Fragment";
    request.Filter = "Bitmap files (*.bmp)|*.bmp||";
    request.DefaultExt = "bmp";
    if (current != kNoImage) request.FileName = current;
    if (!prompts.FileDialog(request)) return 0;
    const std::string file = request.FileName;
    if (IsFragmentDescriptor(file)) {
        prompts.Inform("The file selected is already an Image Fragment.\r\nIt cannot be "
                       "subdivided into smaller fragments.");
        return 0;
    }
    CBitmap bitmap;
    if (!bitmap.LoadFile(file)) {
        prompts.Inform(CannotLoadMessage(file));
        return 0;
    }
    const int bw = bitmap.Width();
    const int bh = bitmap.Height();
    int across = 1, down = 1;
    int width = std::min(bw, kMaxFragmentSide), height = std::min(bh, kMaxFragmentSide);
    int startRow = row;
    std::string prefix = "F";
    std::string note;
    for (;;) {
        CDialogForm form;
        form.Id = "FragmentImage";
        form.Title = "Fragment image";
        form.AddLabel("Cell", Format("Column: %d '%s'   Row: %d '%s'", column,
                                     doc.m_InOuts[column].InOutName.c_str(), row,
                                     doc.m_Examples[row].ExampleName.c_str()));
        form.AddLabel("Image", Format("Name: %s    File: %s", name.c_str(), file.c_str()));
        form.AddLabel("Size", Format("Bitmap width: %d pixels   height: %d pixels", bw, bh));
        form.AddInt("Across", "Fragments horizontally", across, 1, std::min(bw, kMaxFragmentsAcross));
        form.AddInt("Down", "Fragments vertically", down, 1, std::min(bh, kMaxFragmentsAcross));
        form.AddInt("Width", "Fragment width", width, 1, kMaxFragmentSide);
        form.AddInt("Height", "Fragment height", height, 1, kMaxFragmentSide);
        form.AddButton("AdjustToFit", "Adjust to fit");
        form.AddInt("StartRow", "Starting row", startRow, 0, doc.m_RowCount);
        form.AddText("Prefix", "Name prefix (+ nnnnnn)", prefix);
        form.AddLabel("Note", note);
        if (prompts.ShowDialog(form) != IdOk) return 0;
        const int newAcross = std::clamp(form.Int("Across"), 1, std::min(bw, kMaxFragmentsAcross));
        const int newDown = std::clamp(form.Int("Down"), 1, std::min(bh, kMaxFragmentsAcross));
        int newWidth = std::clamp(form.Int("Width"), 1, kMaxFragmentSide);
        int newHeight = std::clamp(form.Int("Height"), 1, kMaxFragmentSide);
        const int newStart = std::clamp(form.Int("StartRow"), 0, std::max(doc.m_RowCount, 0));
        std::string newPrefix = form.Text("Prefix").substr(0, kMaxPrefix);
        if (form.PressedButton == "AdjustToFit") {
            newWidth = std::max(1, bw / newAcross);
            newHeight = std::max(1, bh / newDown);
        }
        const bool changed = newAcross != across || newDown != down || newWidth != width ||
                             newHeight != height || newStart != startRow || newPrefix != prefix;
        across = newAcross;
        down = newDown;
        width = newWidth;
        height = newHeight;
        startRow = newStart;
        prefix = newPrefix;
        if (prefix.find('?') != std::string::npos || (!prefix.empty() && prefix[0] == '~')) {
            prompts.Inform("Image names cannot contain '?' or begin with '~'.");
            if (!changed) return 0;  // handed back as refused: not asked for again forever
            continue;
        }
        if (static_cast<long long>(width) * height * across * down > kMaxFragmentingPixels) {
            prompts.Inform(Format("The fragments cover more than %lld pixels in all.\nUse fewer "
                                  "or smaller fragments.",
                                  kMaxFragmentingPixels));
            if (!changed) return 0;
            continue;
        }
        if (changed || form.PressedButton == "AdjustToFit") {
            note = "Changes have been made to the fragmentation.";
            continue;
        }
        break;
    }
    return FragmentImage(doc, file, prefix, width, height, across, down, column, startRow) > 0;
}

}  // namespace quorin
