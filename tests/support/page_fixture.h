#pragma once
// A page on its own in a test: wired to a parameter image holding the
// defaults, refreshed once, its commands recorded by a stand-in main window.
#include <gtest/gtest.h>

#include <QComboBox>
#include <string>

#include "model/param_image.h"
#include "support/recording_main.h"
#include "support/user_input.h"

namespace testsupport {

template <class Page>
class PageFixture : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        page.Wire(&image);
        page.LoadFromImage();
        main.Take();
    }

    // A slider one step away from a value the image holds: a byte or a word.
    struct SliderStep {
        int slider;
        bool word;
        int index, from;
        Qt::Key key;
        int stored;
        int labelId;
        const char* label;
    };
    // The image holds from, the page is refreshed, the user presses the
    // key: the page stores, labels and sends its command once.
    void ExpectSliderStep(const SliderStep& s, unsigned code) {
        SCOPED_TRACE(std::to_string(s.slider) + " from " + std::to_string(s.from));
        if (s.word)
            image.ParamWords[s.index] = static_cast<std::uint16_t>(s.from);
        else
            image.ParamBytes[s.index] = static_cast<std::uint8_t>(s.from);
        page.LoadFromImage();
        main.Take();
        SliderKey(page, s.slider, s.key);
        EXPECT_EQ(main.Take(), (Commands{{code, 0}}));
        EXPECT_EQ(s.word ? image.ParamWords[s.index] : image.ParamBytes[s.index], s.stored);
        EXPECT_EQ(page.ItemText(s.labelId), s.label);
    }

    ParamImage image;
    RecordingMain main;
    Page page{&main};
};

}  // namespace testsupport
