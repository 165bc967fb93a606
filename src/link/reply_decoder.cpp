#include "link/reply_decoder.h"

#include <algorithm>

#include "link/command_builder.h"
#include "link/command_codes.h"
#include "link/device_block_read.h"
#include "link/param_block.h"
#include "link/wire_band.h"

namespace {

// Replies whose only meaning is a result for the main window; with status
// the unit's byte 0 is the status.
struct ResultReply {
    std::uint8_t code;
    int kind;
    bool withStatus;
};
constexpr ResultReply kResultReplies[] = {
    {CMD_SELECT_MODE, RESULT_MODE_SELECTED, false},
    {CMD_RESET_ALL, RESULT_RESET_ALL, false},
    {CMD_MASS_SAVE_STEP, RESULT_SAVED, false},
    {CMD_SET_LOGO, RESULT_LOGO_SET, false},
    {CMD_LOCK_KEY, RESULT_LOCK_KEY, true},
    {CMD_LOCK_PASSWORD, RESULT_LOCK_PASSWORD, true},
    {CMD_ADMIN_MODE, RESULT_ADMIN_MODE, true},
    {CMD_ADMIN_PASSWORD, RESULT_ADMIN_PASSWORD, true},
    {CMD_BOOST_SAVE, RESULT_BOOST_SAVED, false},
    {CMD_LEARN_TABLE, RESULT_LEARN_TABLE, false},
};

// Boost read: the enable byte and 16 WireBands.
constexpr int kBoostReplyLength = 1 + static_cast<int>(kBoostBandCount) * kWireBandSize;
// Echo type: ParamBytes[85..93], then ParamWords[30..33].
constexpr int kEchoTypeBytes = 9;
constexpr int kEchoTypeFirstByte = 85;
constexpr int kEchoTypeWords = 4;
constexpr int kEchoTypeFirstWord = 30;
constexpr int kEchoTypeReplyLength = kEchoTypeBytes + 2 * kEchoTypeWords;
// The request numbers an echo type result's status bits can carry.
constexpr int kEchoTypeNumbers = 0xFF;

}  // namespace

void ReplyDecoder::OnBlockRead(const DeviceBlockRead& read) {
    // The read accepts only a 1131-byte block whose checksum held.
    if (read.Length() != kDeviceParamBlockSize) return;
    UnpackDeviceBlockHeader(read.Header().data(), image_);
    UnpackDeviceParamBlock(read.Block(), image_);
}

ReplyOutcome ReplyDecoder::OnReply(const ReplyFrame& reply, bool answersRequest) {
    const std::uint8_t* d = reply.data;
    const int n = reply.dataLength;

    for (const ResultReply& r : kResultReplies) {
        if (r.code != reply.code) continue;
        if (!r.withStatus) {
            Result(r.kind);
            return ReplyOutcome::kHandled;
        }
        if (n < 1) return ReplyOutcome::kMalformed;
        Result(r.kind, d[0]);
        return ReplyOutcome::kHandled;
    }

    switch (reply.code) {
        case CMD_BOOST_READ: {
            if (n < kBoostReplyLength) return ReplyOutcome::kMalformed;
            image_.BoostEnableFlags = d[0];
            const std::uint8_t* in = d + 1;
            for (int target = 0; target < static_cast<int>(kBoostTargetCount); ++target) {
                for (EqBand& band : BoostRunBands(image_, target)) {
                    band = UnpackWireBand(in);
                    in += kWireBandSize;
                }
            }
            Post(WM_REFRESH_PAGES);
            return ReplyOutcome::kHandled;
        }
        case CMD_ECHO_TYPE:
            return OnEchoType(reply);
        // The upload chain moves on only with the reply to its own step, so
        // a repeated reply cannot send a chunk twice or end the chain early.
        case CMD_MODE_UPLOAD_START:
            if (answersRequest) {
                upload_.offset = 0;
                Post(WM_SEND_COMMAND, CMD_MODE_UPLOAD_DATA, 0);
            }
            return ReplyOutcome::kHandled;
        case CMD_MODE_UPLOAD_DATA:
            if (answersRequest) {
                const unsigned next =
                    upload_.offset < upload_.length ? CMD_MODE_UPLOAD_DATA : CMD_MODE_UPLOAD_END;
                Post(WM_SEND_COMMAND, next, 0);
            }
            return ReplyOutcome::kHandled;
        case CMD_MODE_UPLOAD_END:
            if (answersRequest) Post(WM_LINK_IDLE);
            return ReplyOutcome::kHandled;
        case CMD_LEARN:
            return OnLearn(reply);
        default:
            // The handshake and every other code: the completion step only.
            return ReplyOutcome::kHandled;
    }
}

int ReplyDecoder::OnEchoTypeRequested() {
    // Status bits of the result: 0 is left for an answer nothing waited for.
    lastEchoTypeNumber_ = lastEchoTypeNumber_ % kEchoTypeNumbers + 1;
    echoTypeRequests_.push_back({lastEchoTypeNumber_, false, false});
    return lastEchoTypeNumber_;
}

void ReplyDecoder::OnEchoTypeRefused() {
    if (echoTypeRequests_.empty() || echoTypeRequests_.back().written) return;
    echoTypeRequests_.pop_back();
}

void ReplyDecoder::OnEchoTypeWritten() {
    const auto next = std::find_if(echoTypeRequests_.begin(), echoTypeRequests_.end(),
                                   [](const EchoTypeRequest& r) { return !r.written; });
    if (next != echoTypeRequests_.end()) next->written = true;
}

void ReplyDecoder::OnModeUploadTaken() {
    for (EchoTypeRequest& r : echoTypeRequests_) r.superseded = true;
}

ReplyOutcome ReplyDecoder::OnEchoType(const ReplyFrame& reply) {
    if (reply.dataLength < kEchoTypeReplyLength) return ReplyOutcome::kMalformed;
    // The newest written: a request still in the line cannot have been
    // answered, and an older one written is one another frame completed.
    EchoTypeRequest answered;
    const auto newest = std::find_if(echoTypeRequests_.rbegin(), echoTypeRequests_.rend(),
                                     [](const EchoTypeRequest& r) { return r.written; });
    if (newest != echoTypeRequests_.rend()) {
        answered = *newest;
        echoTypeRequests_.erase(echoTypeRequests_.begin(), newest.base());
    }
    if (!answered.superseded) {
        const std::uint8_t* d = reply.data;
        std::copy_n(d, kEchoTypeBytes, image_.ParamBytes.begin() + kEchoTypeFirstByte);
        for (int i = 0; i < kEchoTypeWords; ++i) {
            const std::uint8_t* w = d + kEchoTypeBytes + 2 * i;
            image_.ParamWords[static_cast<std::size_t>(kEchoTypeFirstWord + i)] =
                static_cast<std::uint16_t>(w[0] | (w[1] << 8));
        }
    }
    Result(RESULT_ECHO_TYPE, answered.number);
    return ReplyOutcome::kHandled;
}

ReplyOutcome ReplyDecoder::OnLearn(const ReplyFrame& reply) {
    const int slot = image_.LearnSlotIndex;
    if (slot < 1 || slot > static_cast<int>(kLearnCodeCount)) return ReplyOutcome::kHandled;
    if (reply.dataLength < 1) return ReplyOutcome::kMalformed;
    const int count = reply.data[0];
    if (count == 0) {
        if (hooks.learnRetry) hooks.learnRetry();
    } else if (count <= static_cast<int>(kLearnCodeMaxLength)) {
        if (reply.dataLength < 1 + count) return ReplyOutcome::kMalformed;
        LearnCode& code = image_.LearnCodes[static_cast<std::size_t>(slot - 1)];
        std::copy_n(reply.data, 1 + count, code.begin());
        Post(WM_LEARN_RESULT, static_cast<WPARAM>(count), 1);
    } else {
        Post(WM_LEARN_RESULT, 0, 0);
    }
    return ReplyOutcome::kHandled;
}
