#include "engine/movie/definition.h"

#include <algorithm>
#include <cctype>

namespace velmora::movie {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

template <typename T>
const T* Get(const Character::Data& data) {
    auto* p = std::get_if<std::shared_ptr<const T>>(&data);
    return p ? p->get() : nullptr;
}

}  // namespace

std::optional<uint16_t> Timeline::FindLabel(std::string_view label) const {
    for (size_t i = 0; i < frames.size(); ++i)
        if (!frames[i].label.empty() && SameIgnoringCase(frames[i].label, label))
            return static_cast<uint16_t>(i + 1);
    return std::nullopt;
}

const Shape* Character::AsShape() const { return Get<Shape>(data); }
const swf::MorphShape* Character::AsMorph() const { return Get<swf::MorphShape>(data); }
const Bitmap* Character::AsBitmap() const { return Get<Bitmap>(data); }
const Timeline* Character::AsSprite() const { return Get<Timeline>(data); }
const ButtonDef* Character::AsButton() const { return Get<ButtonDef>(data); }
const text::StaticText* Character::AsText() const { return Get<text::StaticText>(data); }

std::shared_ptr<const text::Font> Character::AsFont() const {
    auto* p = std::get_if<std::shared_ptr<const text::Font>>(&data);
    return p ? *p : nullptr;
}
const EditTextCharacter* Character::AsEditText() const { return Get<EditTextCharacter>(data); }

const SoundDef* Character::AsSound() const { return Get<SoundDef>(data); }

std::shared_ptr<const audio::Pcm> SoundDef::Decoded(audio::Mp3Decoder* mp3) const {
    std::lock_guard lock(m_mutex);
    if (!m_decoded) {
        audio::DefineSoundRecord record;
        record.format = m_format;
        record.sampleCount = m_sampleCount;
        record.data = m_data;
        m_decoded = std::make_shared<const audio::Pcm>(audio::DecodeSound(record, mp3));
    }
    return m_decoded;
}

const Character* MovieDefinition::Find(uint16_t id) const {
    auto it = characters.find(id);
    return it == characters.end() ? nullptr : &it->second;
}

std::optional<uint16_t> MovieDefinition::FindExport(std::string_view name) const {
    auto it = exports.find(std::string(name));
    if (it == exports.end())
        it = std::find_if(exports.begin(), exports.end(),
                          [&](const auto& entry) { return SameIgnoringCase(entry.first, name); });
    return it == exports.end() ? std::nullopt : std::optional<uint16_t>(it->second);
}

const SoundDef* MovieDefinition::FindSound(uint16_t id) const {
    const Character* c = Find(id);
    return c ? c->AsSound() : nullptr;
}

}  // namespace velmora::movie
