#pragma once

#include "settings/SettingValues.h"
#include "texts/UiLanguage.h"

#include <QByteArray>
#include <array>
#include <cstdint>

namespace tervane {

// The 12640-byte settings record, little-endian, exactly as the configuration file holds it.
// Accessors read and write the documented offsets; bytes that nobody writes (padding, Reserved,
// the bytes behind a text's terminating zero) stay as loaded. Values are returned as stored:
// whoever uses a field decides what to do with an out-of-range one.
class Settings {
public:
    static constexpr int kSize = 12640;
    static constexpr int kPathFieldSize = 4097; // up to 4096 characters and the zero
    static constexpr int kMaxPathLength = kPathFieldSize - 1;
    static constexpr int kMaxFontNameLength = 255;
    static constexpr int kColumnCount = 7;

    Settings(); // every field at its default; font "Tahoma" 8
    // Every field at its default, padding and Reserved included; the bytes behind the texts'
    // zeros are cleared too.
    void setDefaults();

    std::uint8_t* data() { return m_bytes.data(); }
    const std::uint8_t* data() const { return m_bytes.data(); }
    bool operator==(const Settings& other) const { return m_bytes == other.m_bytes; }

    std::int32_t windowHeight() const;
    void setWindowHeight(std::int32_t v);
    std::int32_t windowWidth() const;
    void setWindowWidth(std::int32_t v);
    // 8-bit text (the local 8-bit encoding of a path) up to its first zero byte.
    QByteArray lastBasePath() const;
    void setLastBasePath(const QByteArray& path); // cut to 4096 bytes
    std::int32_t reserved() const;
    std::int32_t selectedNodeIndex() const;
    void setSelectedNodeIndex(std::int32_t v);
    std::int32_t columnWidth(int column) const;          // column 1..7; 0 for any other column
    void setColumnWidth(int column, std::int32_t width); // any other column is ignored
    std::int32_t treeWidth() const;
    void setTreeWidth(std::int32_t v);
    WindowState windowState() const; // only the low byte counts
    void setWindowState(WindowState v);
    std::int32_t lastDeviceModel() const;
    void setLastDeviceModel(std::int32_t v);
    LanguageSetting languageSetting() const;
    void setLanguageSetting(LanguageSetting v);
    std::int32_t skinIndex() const;
    void setSkinIndex(std::int32_t v);
    SavePolicy savePolicy() const;
    void setSavePolicy(SavePolicy v);
    QByteArray gridFontName() const;              // length-prefixed, up to 255 bytes
    void setGridFontName(const QByteArray& name); // cut to 255 bytes
    FontStyle gridFontStyle() const;
    void setGridFontStyle(FontStyle v);
    std::int32_t gridFontSize() const;
    void setGridFontSize(std::int32_t v);
    std::int32_t keyTypeView() const;
    void setKeyTypeView(std::int32_t v);
    std::int32_t keyCodeView() const;
    void setKeyCodeView(std::int32_t v);
    bool emSpeedVisible() const;
    void setEmSpeedVisible(bool v);
    bool dallasCrcVisible() const;
    void setDallasCrcVisible(bool v);
    QByteArray openFolder() const;
    void setOpenFolder(const QByteArray& folder); // cut to 4096 bytes
    QByteArray saveFolder() const;
    void setSaveFolder(const QByteArray& folder); // cut to 4096 bytes
    bool shortView() const;
    void setShortView(bool v);

private:
    std::int32_t int32At(int offset) const;
    void setInt32At(int offset, std::int32_t v);
    QByteArray pathAt(int offset) const;
    void setPathAt(int offset, const QByteArray& text);

    std::array<std::uint8_t, kSize> m_bytes{};
};

// The settings record of the running program.
Settings& settings();

} // namespace tervane
