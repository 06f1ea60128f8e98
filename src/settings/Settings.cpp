#include "settings/Settings.h"

#include <algorithm>
#include <cstring>

namespace tervane {
namespace {

constexpr int kWindowHeight = 0;
constexpr int kWindowWidth = 4;
constexpr int kLastBasePath = 8;
constexpr int kReserved = 4108;
constexpr int kSelectedNodeIndex = 4112;
constexpr int kColumnWidths = 4116;
constexpr int kTreeWidth = 4144;
constexpr int kWindowState = 4148;
constexpr int kLastDeviceModel = 4152;
constexpr int kLanguageSetting = 4156;
constexpr int kSkinIndex = 4160;
constexpr int kSavePolicy = 4164;
constexpr int kGridFontName = 4168;
constexpr int kGridFontStyle = 4424;
constexpr int kGridFontSize = 4428;
constexpr int kKeyTypeView = 4432;
constexpr int kKeyCodeView = 4436;
constexpr int kEmSpeedVisible = 4440;
constexpr int kDallasCrcVisible = 4441;
constexpr int kOpenFolder = 4442;
constexpr int kSaveFolder = 8539;
constexpr int kShortView = 12636;

static_assert(kLastBasePath + Settings::kPathFieldSize + 3 == kReserved);
static_assert(kColumnWidths + 4 * Settings::kColumnCount == kTreeWidth);
static_assert(kGridFontName + 1 + Settings::kMaxFontNameLength == kGridFontStyle);
static_assert(kOpenFolder + Settings::kPathFieldSize == kSaveFolder);
static_assert(kSaveFolder + Settings::kPathFieldSize == kShortView);
static_assert(kShortView + 1 + 3 == Settings::kSize);

} // namespace

Settings::Settings() {
    setDefaults();
}

void Settings::setDefaults() {
    m_bytes.fill(0);
    setWindowHeight(560);
    setWindowWidth(1030);
    setInt32At(kReserved, -1);
    setSelectedNodeIndex(-1);
    for (int column = 1; column <= kColumnCount; ++column)
        setColumnWidth(column, 96);
    setTreeWidth(185);
    setWindowState(WindowState::Normal);
    setLastDeviceModel(1); // Lark: the key editor offers only the contact keys until another model is seen
    setLanguageSetting(LanguageSetting::Automatic);
    setSkinIndex(1);
    setSavePolicy(SavePolicy::Ask);
    setGridFontName(QByteArrayLiteral("Tahoma"));
    setGridFontStyle(FontStyle::Regular);
    setGridFontSize(8);
    setKeyTypeView(0);
    setKeyCodeView(0);
    setEmSpeedVisible(true);
    setDallasCrcVisible(false);
    setShortView(false);
}

std::int32_t Settings::int32At(int offset) const {
    const std::uint8_t* p = m_bytes.data() + offset;
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                        std::uint32_t(p[3]) << 24);
}

void Settings::setInt32At(int offset, std::int32_t v) {
    const auto u = std::uint32_t(v);
    std::uint8_t* p = m_bytes.data() + offset;
    p[0] = std::uint8_t(u);
    p[1] = std::uint8_t(u >> 8);
    p[2] = std::uint8_t(u >> 16);
    p[3] = std::uint8_t(u >> 24);
}

QByteArray Settings::pathAt(int offset) const {
    // A field with no zero (a damaged file) ends at the field's last character, never beyond.
    const char* p = reinterpret_cast<const char*>(m_bytes.data() + offset);
    const char* end = std::find(p, p + kMaxPathLength, '\0');
    return QByteArray(p, int(end - p));
}

void Settings::setPathAt(int offset, const QByteArray& text) {
    // Only the text and its zero are written: the rest of the field keeps its old bytes.
    const qsizetype zero = text.indexOf('\0');
    const auto length = std::min<qsizetype>(zero < 0 ? text.size() : zero, kMaxPathLength);
    std::memcpy(m_bytes.data() + offset, text.constData(), size_t(length));
    m_bytes[size_t(offset + length)] = 0;
}

std::int32_t Settings::windowHeight() const {
    return int32At(kWindowHeight);
}
void Settings::setWindowHeight(std::int32_t v) {
    setInt32At(kWindowHeight, v);
}
std::int32_t Settings::windowWidth() const {
    return int32At(kWindowWidth);
}
void Settings::setWindowWidth(std::int32_t v) {
    setInt32At(kWindowWidth, v);
}

QByteArray Settings::lastBasePath() const {
    return pathAt(kLastBasePath);
}
void Settings::setLastBasePath(const QByteArray& path) {
    setPathAt(kLastBasePath, path);
}

std::int32_t Settings::reserved() const {
    return int32At(kReserved);
}
std::int32_t Settings::selectedNodeIndex() const {
    return int32At(kSelectedNodeIndex);
}
void Settings::setSelectedNodeIndex(std::int32_t v) {
    setInt32At(kSelectedNodeIndex, v);
}

std::int32_t Settings::columnWidth(int column) const {
    if (column < 1 || column > kColumnCount)
        return 0;
    return int32At(kColumnWidths + 4 * (column - 1));
}

void Settings::setColumnWidth(int column, std::int32_t width) {
    if (column < 1 || column > kColumnCount)
        return;
    setInt32At(kColumnWidths + 4 * (column - 1), width);
}

std::int32_t Settings::treeWidth() const {
    return int32At(kTreeWidth);
}
void Settings::setTreeWidth(std::int32_t v) {
    setInt32At(kTreeWidth, v);
}
WindowState Settings::windowState() const {
    return WindowState(m_bytes[kWindowState]);
}
void Settings::setWindowState(WindowState v) {
    setInt32At(kWindowState, std::int32_t(v));
}
std::int32_t Settings::lastDeviceModel() const {
    return int32At(kLastDeviceModel);
}
void Settings::setLastDeviceModel(std::int32_t v) {
    setInt32At(kLastDeviceModel, v);
}
LanguageSetting Settings::languageSetting() const {
    return LanguageSetting(int32At(kLanguageSetting));
}
void Settings::setLanguageSetting(LanguageSetting v) {
    setInt32At(kLanguageSetting, std::int32_t(v));
}
std::int32_t Settings::skinIndex() const {
    return int32At(kSkinIndex);
}
void Settings::setSkinIndex(std::int32_t v) {
    setInt32At(kSkinIndex, v);
}
SavePolicy Settings::savePolicy() const {
    return SavePolicy(int32At(kSavePolicy));
}
void Settings::setSavePolicy(SavePolicy v) {
    setInt32At(kSavePolicy, std::int32_t(v));
}

QByteArray Settings::gridFontName() const {
    const char* p = reinterpret_cast<const char*>(m_bytes.data() + kGridFontName);
    return QByteArray(p + 1, std::uint8_t(p[0]));
}

void Settings::setGridFontName(const QByteArray& name) {
    const auto length = std::min<qsizetype>(name.size(), kMaxFontNameLength);
    m_bytes[kGridFontName] = std::uint8_t(length);
    std::memcpy(m_bytes.data() + kGridFontName + 1, name.constData(), size_t(length));
}

FontStyle Settings::gridFontStyle() const {
    return FontStyle(int32At(kGridFontStyle));
}
void Settings::setGridFontStyle(FontStyle v) {
    setInt32At(kGridFontStyle, std::int32_t(v));
}
std::int32_t Settings::gridFontSize() const {
    return int32At(kGridFontSize);
}
void Settings::setGridFontSize(std::int32_t v) {
    setInt32At(kGridFontSize, v);
}
std::int32_t Settings::keyTypeView() const {
    return int32At(kKeyTypeView);
}
void Settings::setKeyTypeView(std::int32_t v) {
    setInt32At(kKeyTypeView, v);
}
std::int32_t Settings::keyCodeView() const {
    return int32At(kKeyCodeView);
}
void Settings::setKeyCodeView(std::int32_t v) {
    setInt32At(kKeyCodeView, v);
}

// The flag bytes count as set when they are not zero, as a stored boolean is read.
bool Settings::emSpeedVisible() const {
    return m_bytes[kEmSpeedVisible] != 0;
}
void Settings::setEmSpeedVisible(bool v) {
    m_bytes[kEmSpeedVisible] = v ? 1 : 0;
}
bool Settings::dallasCrcVisible() const {
    return m_bytes[kDallasCrcVisible] != 0;
}
void Settings::setDallasCrcVisible(bool v) {
    m_bytes[kDallasCrcVisible] = v ? 1 : 0;
}

QByteArray Settings::openFolder() const {
    return pathAt(kOpenFolder);
}
void Settings::setOpenFolder(const QByteArray& folder) {
    setPathAt(kOpenFolder, folder);
}
QByteArray Settings::saveFolder() const {
    return pathAt(kSaveFolder);
}
void Settings::setSaveFolder(const QByteArray& folder) {
    setPathAt(kSaveFolder, folder);
}

bool Settings::shortView() const {
    return m_bytes[kShortView] != 0;
}
void Settings::setShortView(bool v) {
    m_bytes[kShortView] = v ? 1 : 0;
}

Settings& settings() {
    static Settings record;
    return record;
}

} // namespace tervane
