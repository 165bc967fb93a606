#include "link/reply_parser.h"

bool ReplyParser::Feed(std::uint8_t b) {
    sum_ = static_cast<std::uint8_t>(sum_ + b);
    switch (state_) {
        case kIgnore:
            return false;
        case kWaitStart:
            if (b == kReplyStart) state_ = kLengthLow;
            return false;
        case kLengthLow:
            length_ = b;
            // The sum starts again with the first length byte: the start
            // byte is outside the checksum.
            sum_ = b;
            state_ = kLengthHigh;
            return false;
        case kLengthHigh:
            length_ |= b << 8;
            if (length_ < 1 || length_ > kMaxLength) {
                state_ = kWaitStart;
            } else {
                index_ = 0;
                state_ = kBody;
            }
            return false;
        case kBody:
            body_[static_cast<std::size_t>(index_++)] = b;
            if (index_ < length_ + 1) return false;
            state_ = kWaitStart;
            if (sum_ != 0) return false;
            body_[0] = static_cast<std::uint8_t>(~body_[0]);
            return true;
    }
    return false;
}

ReplyFrame ReplyParser::Frame() const {
    return ReplyFrame{body_[0], body_.data() + 1, length_ - 1};
}
