#pragma once
#include <string>
#include <string_view>

#include "assessment.hpp"

namespace belavo::bench {

// A result label as the core sees it, keeping the caption it was given.
class RecordingCaption final : public belavo::CaptionSink {
public:
    void setCaption(std::u16string_view text) override { text_.assign(text.begin(), text.end()); }
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
};

}  // namespace belavo::bench
