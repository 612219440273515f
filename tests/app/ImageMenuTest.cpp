// Image columns on the desktop: a new name's bitmap, the thumbnails beside names, and
// Edit > Fragment Image and Associate Images driven through their dialogs.
#include <QAction>
#include <QColor>
#include <QImage>
#include <QPixmap>

#include "GuiFixture.h"
#include "app/GridModel.h"
#include "app/QtPrompts.h"
#include "app/QuorinView.h"
#include "coding/ImageCodes.h"
#include "grid/QuorinDoc.h"
#include "support/BitmapFiles.h"
#include "support/TempDir.h"

namespace quorin::test {

namespace {

constexpr const char* kBitmapFilter = "Bitmap files (*.bmp)|*.bmp||";

// A Grid of an Image input and a Real output, two rows, shown in the child's Grid.
CQuorinDoc& ImageGrid(CChildFrame& child) {
    CQuorinDoc& doc = child.Doc();
    doc.AddCol(0, 0, 1);
    doc.AddCol(0, 1, 1);
    doc.SetInOutTypeAndMode(1, Output, Real);
    for (int r = 0; r < 2; ++r) doc.AddRow(0, Training, 0, 1);
    child.View().RefreshFromDocument();
    return doc;
}

QColor ThumbnailColour(CGridModel& model, int row, int column) {
    const QPixmap thumbnail = model.data(model.index(row, column), Qt::DecorationRole).value<QPixmap>();
    if (thumbnail.isNull()) return {};
    return thumbnail.toImage().pixelColor(thumbnail.width() / 2, thumbnail.height() / 2);
}

}  // namespace

TEST_F(GuiTest, ANewImageNameAsksForABitmapAndShowsItsThumbnail) {
    CTempDir dir;
    const std::string red = dir.File("red.bmp");
    WriteUniformBitmap(red, 8, 8, {250, 10, 10});
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = ImageGrid(*child);
    auto enabled = [&](const char* name) {
        Frame->UpdateCommands();
        return Frame->FindAction(name)->isEnabled();
    };
    EXPECT_FALSE(enabled("EditFragmentImage"));  // no Image column yet
    EXPECT_FALSE(enabled("EditAssociateImages"));
    doc.SetInOutTypeAndMode(0, Input, Image);
    child->View().RefreshFromDocument();
    EXPECT_TRUE(enabled("EditFragmentImage"));
    EXPECT_TRUE(enabled("EditAssociateImages"));

    CGridModel& model = child->View().Model();
    P.Prompts.QueueFile(red);
    ASSERT_TRUE(model.setData(model.index(0, 0), QString("apple"), Qt::EditRole));
    ASSERT_EQ(P.Prompts.FileRequests().size(), 1u);
    const CFileDialogRequest request = P.Prompts.FileRequests()[0];
    EXPECT_EQ(request.Title, "Select file to use for Image");
    EXPECT_EQ(request.Filter, kBitmapFilter);
    EXPECT_EQ(request.DefaultExt, "bmp");
    EXPECT_EQ(QtFilter(request.Filter), "Bitmap files (*.bmp)");
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), "apple");
    EXPECT_EQ(ThumbnailColour(model, 0, 0), QColor(250, 10, 10));

    // The name is known now: a second cell asks nothing and shows the same picture.
    ASSERT_TRUE(model.setData(model.index(1, 0), QString("apple"), Qt::EditRole));
    EXPECT_EQ(P.Prompts.FileRequests().size(), 1u);
    EXPECT_EQ(ThumbnailColour(model, 1, 0), QColor(250, 10, 10));
    // A bitmap replaced on disk shows its new picture.
    WriteUniformBitmap(red, 9, 9, {10, 10, 250});
    EXPECT_EQ(ThumbnailColour(model, 1, 0), QColor(10, 10, 250));
    // No picture for a number, nor for an image cell that holds none.
    ASSERT_TRUE(model.setData(model.index(0, 1), QString("3"), Qt::EditRole));
    EXPECT_FALSE(model.data(model.index(0, 1), Qt::DecorationRole).isValid());
    doc.m_Examples[1].Values()[0] = kMissing;
    EXPECT_FALSE(ThumbnailColour(model, 1, 0).isValid());

    doc.m_Learning = true;
    EXPECT_FALSE(enabled("EditFragmentImage"));
    EXPECT_FALSE(enabled("EditAssociateImages"));
    doc.m_Learning = false;
}

TEST_F(GuiTest, FragmentImageCutsTheBitmapIntoRowsOfTheGrid) {
    CTempDir dir;
    // Four quadrants: red, green / blue, white.
    CBitmapLayout layout;
    layout.Width = 8;
    layout.Height = 8;
    layout.Colour = [](int x, int y) {
        if (y < 4) return x < 4 ? CRgb{200, 0, 0} : CRgb{0, 200, 0};
        return x < 4 ? CRgb{0, 0, 200} : CRgb{255, 255, 255};
    };
    const std::string file = dir.File("quad.bmp");
    WriteBitmap(file, MakeBitmap(layout));
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = ImageGrid(*child);
    doc.SetInOutTypeAndMode(0, Input, Image);
    child->View().RefreshFromDocument();
    child->View().SelectCell(1, 0);

    P.Prompts.QueueFile(file);
    P.Prompts.QueueDialogOk([](CDialogForm& form) {
        EXPECT_EQ(form.Title, "Fragment image");
        EXPECT_EQ(form.Int("StartRow"), 1);
        form.Field("Across").IntValue = 2;
        form.Field("Down").IntValue = 2;
        form.PressedButton = "AdjustToFit";
    });
    P.Prompts.QueueDialogOk([](CDialogForm& form) {
        // The adjusted sizes come back for a look before anything is cut.
        EXPECT_EQ(form.Int("Width"), 4);
        EXPECT_EQ(form.Int("Height"), 4);
        EXPECT_EQ(form.Text("Note"), "Changes have been made to the fragmentation.");
    });
    Frame->UpdateCommands();
    Frame->FindAction("EditFragmentImage")->trigger();
    ASSERT_EQ(P.Prompts.FileRequests().size(), 1u);
    EXPECT_EQ(P.Prompts.FileRequests()[0].Title, "Select an Image file to Fragment");
    EXPECT_EQ(P.Prompts.FileRequests()[0].Filter, kBitmapFilter);

    // Rows 1 to 4, the first row of fragments first; rows 2 to 4 were added.
    CGridModel& model = child->View().Model();
    ASSERT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), "?");
    const std::vector<std::pair<QString, QColor>> expected = {{"F000000", QColor(200, 0, 0)},
                                                             {"F000001", QColor(0, 200, 0)},
                                                             {"F000002", QColor(0, 0, 200)},
                                                             {"F000003", QColor(255, 255, 255)}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(model.data(model.index(1 + i, 0), Qt::DisplayRole).toString(), expected[i].first);
        EXPECT_EQ(ThumbnailColour(model, 1 + i, 0), expected[i].second) << i;
    }
}

TEST_F(GuiTest, AssociateImagesRefusesAnImageColumnAndSetsAnother) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = ImageGrid(*child);
    doc.AddCol(0, 2, 1);
    doc.SetInOutTypeAndMode(0, Input, Image);
    doc.SetInOutTypeAndMode(2, Input, Image);
    child->View().RefreshFromDocument();
    child->View().SelectCell(0, 0);

    P.Prompts.QueueDialogOk([](CDialogForm& form) {
        EXPECT_EQ(form.Title, "Associate Images");
        EXPECT_EQ(form.Int("Column"), -1);
        form.Field("Column").IntValue = 2;
    });
    P.Prompts.QueueDialogOk([](CDialogForm& form) { form.Field("Column").IntValue = 1; });
    Frame->UpdateCommands();
    Frame->FindAction("EditAssociateImages")->trigger();
    EXPECT_EQ(P.Prompts.Texts(),
              std::vector<std::string>{"Images cannot be associated with other image columns."});
    EXPECT_EQ(doc.m_InOuts[0].AssociatedColumn, 1);

    // Cancel keeps it; the dialog opens on the association.
    P.Prompts.QueueDialog([](CDialogForm& form) {
        EXPECT_EQ(form.Int("Column"), 1);
        return IdCancel;
    });
    Frame->UpdateCommands();
    Frame->FindAction("EditAssociateImages")->trigger();
    EXPECT_EQ(doc.m_InOuts[0].AssociatedColumn, 1);
}

}  // namespace quorin::test
