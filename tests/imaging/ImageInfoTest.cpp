#include "Viewer/imaging/ImageInfo.h"
#include <gtest/gtest.h>
#include <memory>

TEST(ImageInfo, ConstructedEmptyWithZeroRatingWords)
{
    ImageInfo info;
    EXPECT_EQ(0u, info.flags);
    EXPECT_EQ(0, info.ratingWords.rating);
    EXPECT_EQ(0, info.ratingWords.label);
    EXPECT_EQ(nullptr, info.cameraModel.Get());
    EXPECT_EQ(0u, info.histogram.redMax);
}

TEST(ImageInfo, CopyOwnsItsOwnStrings)
{
    auto first = std::make_unique<ImageInfo>();
    first->cameraModel = Bstr(L"X100");
    first->comment = Bstr(L"harbour");
    first->profileName = Bstr(L"Adobe RGB");
    first->histogram.green[17] = 5;
    first->ratingWords = {50, 3, 2, 7};
    first->flags = 0x34000;
    ImageInfo copy = *first;
    EXPECT_NE(first->cameraModel.Get(), copy.cameraModel.Get());
    first.reset();
    EXPECT_STREQ(L"X100", copy.cameraModel.c_str());
    EXPECT_STREQ(L"harbour", copy.comment.c_str());
    EXPECT_STREQ(L"Adobe RGB", copy.profileName.c_str());
    EXPECT_EQ(nullptr, copy.lensModel.Get());
    EXPECT_EQ(5u, copy.histogram.green[17]);
    EXPECT_EQ(7, copy.ratingWords.urgency);
    EXPECT_EQ(0x34000u, copy.flags);
}
