// Coding bitmaps into image codes; finding images by name, file and code.
#include "coding/ImageCodes.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "coding/Bitmap.h"
#include "coding/ImageFragments.h"
#include "coding/ImageSignature.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

constexpr const char* kFragmentTag = "#fragment ";
constexpr const char* kBitmapFilter = "Bitmap files (*.bmp)|*.bmp||";

std::string WithoutTildes(const std::string& name) {
    const size_t start = name.find_first_not_of('~');
    return start == std::string::npos ? std::string() : name.substr(start);
}

double PartCode(const CImage& image, int part) {
    switch (part) {
        case 1: return image.PairCode;
        case 2: return image.EdgeCode;
        case 3: return image.BlockCode;
        default: return image.PairCode + image.EdgeCode + image.BlockCode;
    }
}

bool RegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// Size and time of a file, to know whether a cached signature still holds.
bool FileStamp(const std::string& path, std::uintmax_t& size, std::int64_t& time) {
    std::error_code ec;
    size = std::filesystem::file_size(path, ec);
    if (ec) return false;
    const auto t = std::filesystem::last_write_time(path, ec);
    if (ec) return false;
    time = static_cast<std::int64_t>(t.time_since_epoch().count());
    return true;
}

// With the diagnostic level at 3 the user watches each image being coded.
void ShowCoding(CQuorinDoc& doc, const std::string& fileName, const std::string& signature) {
    if (doc.App().m_DiagnosticLevel != 3) return;
    CDialogForm form;
    form.Id = "ImageCoding";
    form.Title = "Image coding";
    form.AddLabel("File", Format("File: %s", fileName.c_str()));
    form.AddLabel("Signature", Format("Signature: %s", signature.c_str()));
    doc.App().Prompts().ShowDialog(form);
}

}  // namespace

bool IsFragmentDescriptor(const std::string& fileName) { return fileName.rfind(kFragmentTag, 0) == 0; }

std::string GetImageSignature(CQuorinDoc& doc, const std::string& fileName) {
    doc.App().Trace("GetImageSignature   File %s", fileName.c_str());
    CFragment fragment;
    const bool isFragment = IsFragmentDescriptor(fileName);
    if (isFragment && !ParseFragmentDescriptor(fileName, fragment)) return kNoImage;
    const std::string& file = isFragment ? fragment.Source : fileName;
    std::uintmax_t size = 0;
    std::int64_t time = 0;
    if (!FileStamp(file, size, time)) return kNoImage;
    auto& cache = doc.m_ImageState.Signatures;
    const auto cached = cache.find(fileName);
    if (cached != cache.end() && cached->second.Size == size && cached->second.Time == time)
        return cached->second.Signature;
    std::string signature;
    if (isFragment) {
        signature = FragmentSignature(fragment);
    } else {
        CBitmap bitmap;
        signature = bitmap.LoadFile(file) ? BitmapSignature(bitmap) : kNoImage;
    }
    ShowCoding(doc, fileName, signature);
    cache[fileName] = {size, time, signature};
    return signature;
}

void RememberImageSignature(CQuorinDoc& doc, const std::string& fileName,
                            const std::string& sourceFile, const std::string& signature) {
    std::uintmax_t size = 0;
    std::int64_t time = 0;
    if (FileStamp(sourceFile, size, time)) doc.m_ImageState.Signatures[fileName] = {size, time, signature};
}

int ImageCodeTooClose(CQuorinDoc& doc, const std::string& imageName, double code, int part) {
    doc.App().Trace("ImageCodeTooClose   Name %s Code %.4lf Part %d", imageName.c_str(), code, part);
    for (const CImage& image : doc.m_Images) {
        if (image.ImageName == imageName) continue;
        const double c = PartCode(image, part);
        if (code - 1.0 < c && c < code + 1.0) return 1;
    }
    return 0;
}

void MakeImageCodesDistinct(CQuorinDoc& doc, const std::string& imageName, double& pairCode,
                            double& edgeCode, double& blockCode) {
    double* codes[3] = {&pairCode, &edgeCode, &blockCode};
    for (int part = 1; part <= 3; ++part) {
        // The codes of the other names once, sorted: the same answers as asking
        // ImageCodeTooClose at every step without walking the list each time.
        std::vector<double> others;
        for (const CImage& image : doc.m_Images) {
            const double c = PartCode(image, part);
            if (image.ImageName != imageName && c == c) others.push_back(c);
        }
        std::sort(others.begin(), others.end());
        double& code = *codes[part - 1];
        const auto tooClose = [&others](double c) {
            const auto above = std::upper_bound(others.begin(), others.end(), c - 1.0);
            return above != others.end() && *above < c + 1.0;
        };
        // Each other code can stop the climb once; the bound guards codes too large to climb.
        for (size_t steps = 0; steps <= others.size() && tooClose(code); ++steps) {
            doc.App().Trace("ImageCodeTooClose   Name %s Code %.4lf Part %d", imageName.c_str(),
                            code, part);
            code += 1.0;
        }
    }
}

double StoreImageCodes(CQuorinDoc& doc, const std::string& imageName,
                       const std::string& fileName, int column, double& pairCode,
                       double& edgeCode, double& blockCode) {
    MakeImageCodesDistinct(doc, imageName, pairCode, edgeCode, blockCode);
    if (!ImageIsDuplicate(doc, imageName, fileName, column, pairCode, edgeCode, blockCode) &&
        (imageName.empty() || imageName[0] != '~'))
        NewImage(doc, imageName, fileName, column, pairCode, edgeCode, blockCode);
    return pairCode;
}

double ImageCode(CQuorinDoc& doc, const std::string& imageName, const std::string& fileName,
                 int column, int row) {
    doc.App().Trace("ImageCode   Name %s File %s Column %d Row %d", imageName.c_str(),
                    fileName.c_str(), column, row);
    const std::string signature = GetImageSignature(doc, fileName);
    if (signature == kNoImage) return kMissing;
    double pair = SignatureCode(signature, 1);
    double edge = SignatureCode(signature, 2);
    double block = SignatureCode(signature, 3);
    StoreImageCodes(doc, imageName, fileName, column, pair, edge, block);
    doc.SetHighValue(column);
    doc.SetLowValue(column);
    return pair;
}

double GetImageCode(CQuorinDoc& doc, const std::string& imageName, int part, int column) {
    doc.App().Trace("GetImageCode   Name %s Part %d Column %d", imageName.c_str(), part, column);
    const std::string name = WithoutTildes(imageName);
    for (const CImage& image : doc.m_Images)
        if ((column == -1 || image.Column == column) && image.ImageName == name)
            return PartCode(image, part);
    return kMissing;
}

std::string GetImageFileName(CQuorinDoc& doc, const std::string& imageName) {
    doc.App().Trace("GetImageFileName   Name %s", imageName.c_str());
    const std::string name = WithoutTildes(imageName);
    for (const CImage& image : doc.m_Images)
        if (image.ImageName == name) return image.FileName;
    return kNoImage;
}

std::string GetImageName(CQuorinDoc& doc, const std::string& fileName, int column) {
    doc.App().Trace("GetImageName   File %s Column %d", fileName.c_str(), column);
    for (const CImage& image : doc.m_Images)
        if (image.Column == column && image.FileName == fileName) return image.ImageName;
    return kNoImage;
}

std::string FileNamedByImage(CQuorinDoc& doc, const std::string& imageName) {
    if (imageName.empty() || imageName == kNoImage) return {};
    const CImageState& state = doc.m_ImageState;
    std::vector<std::filesystem::path> folders;
    for (const std::string* beside : {&state.ImportPath, &state.ScriptPath})
        if (!beside->empty()) folders.push_back(std::filesystem::path(*beside).parent_path());
    for (const std::string& candidate : {imageName, imageName + ".bmp"}) {
        const std::filesystem::path path(candidate);
        if (path.is_absolute()) {
            if (RegularFile(path)) return candidate;
            continue;
        }
        for (const auto& folder : folders)
            if (RegularFile(folder / path)) return (folder / path).string();
        if (RegularFile(path)) return candidate;
    }
    return {};
}

std::string SelectImageFileName(CQuorinDoc& doc, const std::string& imageName, int column,
                                int changeFile) {
    doc.App().Trace("SelectImageFileName   Name %s Column %d ChangeFile %d", imageName.c_str(),
                    column, changeFile);
    if (!changeFile) {
        const std::string known = GetImageFileName(doc, imageName);
        if (known != kNoImage) return known;
    }
    IPrompts& prompts = doc.App().Prompts();
    // The file the name itself names is offered first; headless it is the answer.
    std::string proposal = FileNamedByImage(doc, imageName);
    std::string chosen;
    for (;;) {
        prompts.Inform(
            changeFile ? Format("Select a bitmap file to be used with '%s'.\r\n\r\nThis will "
                                "invalidate any previous learning.",
                                imageName.c_str())
                       : Format("Select a bitmap file to be used with '%s'.", imageName.c_str()));
        CFileDialogRequest request;
        request.Title = "Select file to use for Image";
        request.Filter = kBitmapFilter;
        request.DefaultExt = "bmp";
        request.FileName = proposal;
        if (!prompts.FileDialog(request)) return kNoImage;
        chosen = request.FileName;
        const std::string other = GetImageName(doc, chosen, column);
        if (other == kNoImage || other == imageName) break;
        // The proposal is not offered again, so that a repeated answer cannot loop.
        if (!prompts.AskYesNo(Format("%s is already being used with '%s'.\n\nDo you want to "
                                     "select a different bitmap file to use with '%s'",
                                     chosen.c_str(), other.c_str(), imageName.c_str()),
                              IdNo))
            break;
        proposal.clear();
    }
    std::FILE* f = RegularFile(chosen) ? std::fopen(chosen.c_str(), "rb") : nullptr;
    if (!f) {
        prompts.Inform("The file cannot be opened.");
        return kNoImage;
    }
    std::fclose(f);
    std::error_code ec;
    const auto size = std::filesystem::file_size(chosen, ec);
    if (!ec && size > 1000000)
        prompts.Inform(Format("%s is %d bytes long.\r\nImage operations and Grid refreshes may be slow.",
                              chosen.c_str(),
                              static_cast<int>(std::min<std::uintmax_t>(size, INT_MAX))));
    doc.m_ImageState.LastImageFile = chosen;
    return chosen;
}

std::string CannotLoadMessage(const std::string& file) {
    return Format("%s cannot be loaded as a bitmap.\nOnly uncompressed bitmap files can be used "
                  "for images.",
                  file.c_str());
}

int PurgeImage(CQuorinDoc& doc, const std::string& imageName, const std::string& fileName) {
    doc.App().Trace("PurgeImage   Name %s File %s", imageName.c_str(), fileName.c_str());
    const int level = doc.App().m_DiagnosticLevel;
    for (auto it = doc.m_Images.begin(); it != doc.m_Images.end(); ++it) {
        if (it->ImageName != imageName) continue;
        if (level == 4)
            doc.App().Prompts().Inform(Format("Found.\r\nimage: %s\nfile: %s\ncolumn: %d",
                                              it->ImageName.c_str(), it->FileName.c_str(),
                                              it->Column));
        if (it->FileName != fileName) continue;
        doc.m_Images.erase(it);
        if (level == 1)
            doc.App().Prompts().Inform(
                Format("Deleted.\nimage: %s\nfile: %s", imageName.c_str(), fileName.c_str()));
        return 1;
    }
    return 0;
}

bool CodeImageName(CQuorinDoc& doc, const std::string& imageName, int column, int row,
                   double& value) {
    std::string file = SelectImageFileName(doc, imageName, column, 0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (file == kNoImage) return false;
        value = ImageCode(doc, imageName, file, column, row);
        if (value < kMissing) return true;
        doc.App().Prompts().Inform(CannotLoadMessage(file));
        if (attempt == 0) file = SelectImageFileName(doc, imageName, column, 1);
    }
    return false;
}

bool ImageEntryValue(CQuorinDoc& doc, int column, int row, const std::string& text,
                     double& value) {
    value = kMissing;
    if (text.empty()) return true;
    if (text.find('?') != std::string::npos) {
        doc.App().Prompts().Inform("Images cannot use names containing '?'.");
        return false;
    }
    // An approximate name is never recorded: it can only name an image already known.
    if (text[0] == '~') {
        value = GetImageCode(doc, text, 1, column);
        return true;
    }
    if (!CodeImageName(doc, text, column, row, value)) return false;
    doc.m_ImageState.CurrentImageName = text;
    return true;
}

}  // namespace quorin
