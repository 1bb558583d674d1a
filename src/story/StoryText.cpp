// The storybook's text rules: CR LF resolution, export text, saved stories.
#include "story/StoryText.h"

#include "platform/TextCodec.h"

namespace {

std::string_view UpToZero(std::string_view text) {
    const std::size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

bool EndsWithMarker(const std::string& s) {
    return s.size() >= 2 && s[s.size() - 2] == '\\' && s[s.size() - 1] == 'n';
}

} // namespace

std::string JoinStoryLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::vector<std::size_t> JoinedLineStarts(const std::vector<std::string>& lines) {
    std::vector<std::size_t> starts;
    starts.reserve(lines.size());
    std::size_t at = 0;
    for (const std::string& line : lines) {
        starts.push_back(at);
        at += line.size() + 2;
    }
    return starts;
}

namespace {

template <bool kMap> std::string Resolve(std::string_view given, std::vector<std::size_t>* where) {
    const std::string_view text = UpToZero(given);
    std::string out;
    out.reserve(text.size());
    if constexpr (kMap)
        where->assign(given.size() + 1, 0);
    // Runs without a CR LF copied whole.
    for (std::size_t i = 0; i < text.size();) {
        std::size_t cr = text.find('\r', i);
        while (cr != std::string_view::npos && (cr + 1 >= text.size() || text[cr + 1] != '\n'))
            cr = text.find('\r', cr + 1);
        const std::size_t end = cr == std::string_view::npos ? text.size() : cr;
        if constexpr (kMap)
            for (std::size_t k = i; k < end; ++k)
                (*where)[k] = out.size() + (k - i);
        out.append(text.substr(i, end - i));
        if (end == text.size())
            break;
        if constexpr (kMap)
            (*where)[end] = (*where)[end + 1] = out.size();
        if (!EndsWithMarker(out))
            out += ' ';
        i = end + 2;
    }
    if constexpr (kMap)
        for (std::size_t i = text.size(); i <= given.size(); ++i)
            (*where)[i] = out.size();
    return out;
}

} // namespace

std::string ResolveStoryLineEnds(std::string_view given) {
    return Resolve<false>(given, nullptr);
}

std::string ResolveStoryLineEnds(std::string_view given, std::vector<std::size_t>& where) {
    return Resolve<true>(given, &where);
}

std::string StoryTitle(std::string_view given) {
    std::string_view text = UpToZero(given);
    for (;;) {
        if (text.starts_with(' '))
            text.remove_prefix(1);
        else if (text.starts_with("\\n"))
            text.remove_prefix(2);
        else
            break;
    }
    text = text.substr(0, text.find("\\n"));
    return std::string(text.substr(0, text.find_last_not_of(' ') + 1));
}

std::string MakeExportText(std::string_view given) {
    std::string out(UpToZero(given));
    for (std::size_t i = 0; i + 1 < out.size(); ++i)
        if (out[i] == '\\' && out[i + 1] == 'n') {
            out[i] = '\r';
            out[i + 1] = '\n';
            ++i;
        }
    if (out.size() > 2 && out.back() != '\n')
        out += "\r\n";
    return out;
}

std::string MakeSavedStoryFile(std::string_view story) {
    return plat::Latin1ToUtf8(MakeExportText(story));
}

std::string MarkLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\\n";
            ++i;
        } else if (text[i] == '\n') {
            out += "\\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string ReadSavedStoryText(std::string_view bytes, bool* whole) {
    const std::string_view shown = UpToZero(bytes);
    const std::string text = plat::DecodeUtf8OrLatin1(shown, whole);
    if (whole && shown.size() != bytes.size())
        *whole = false;
    return MarkLineEnds(text);
}
