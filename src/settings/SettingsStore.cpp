#include "SettingsStore.h"

#include <QMetaType>
#include <QVariant>

#include <limits>

namespace velmora {

namespace {

std::optional<qint64> readInteger(const QSettings& store, const char* name)
{
    const QVariant v = store.value(QLatin1String(name));
    if (!v.isValid()) return std::nullopt;
    // An INI file hands every value back as text; a list (an unquoted comma)
    // or anything that is not a whole number counts as missing.
    if (v.typeId() == QMetaType::QStringList) return std::nullopt;
    bool ok = false;
    const qint64 n = v.toString().trimmed().toLongLong(&ok, 0);
    if (!ok) return std::nullopt;
    return n;
}

// Every integer in the store is a 32-bit value; anything wider is a stray edit.
std::optional<int> readInt(const QSettings& store, const char* name)
{
    const auto n = readInteger(store, name);
    if (!n || *n < std::numeric_limits<int>::min() || *n > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(*n);
}

std::optional<bool> readBool(const QSettings& store, const char* name)
{
    // Written as 1 or 0 and read as true when non-zero; "true"/"false" are
    // accepted too, because that is how QSettings itself writes a bool.
    if (const auto n = readInteger(store, name)) return *n != 0;
    const QVariant v = store.value(QLatin1String(name));
    if (v.typeId() != QMetaType::QString) return std::nullopt;
    const QString text = v.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    return std::nullopt;
}

std::optional<QString> readString(const QSettings& store, const char* name)
{
    const QVariant v = store.value(QLatin1String(name));
    if (!v.isValid() || v.typeId() == QMetaType::QStringList || !v.canConvert<QString>())
        return std::nullopt;
    return v.toString();
}

template <class T> void readInto(T& target, const std::optional<T>& value)
{
    if (value) target = *value;
}

} // namespace

std::unique_ptr<QSettings> SettingsStore::OpenUserStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Quorvane"), QStringLiteral("Velmora"));
}

SettingsValues SettingsStore::Load(QSettings& store)
{
    SettingsValues v;
    readInto(v.fontName, readString(store, FontName));
    // A font of size 0 or less cannot be drawn (Qt rejects it), so such a
    // size counts as missing like any other unusable value.
    if (const auto size = readInt(store, FontSize); size && *size > 0) v.fontSize = *size;
    if (const auto color = readInteger(store, FontColor);
        color && *color >= std::numeric_limits<std::int32_t>::min() && *color <= 0xFFFFFFFFLL)
        v.fontColor = std::uint32_t(*color);
    v.fontStyle = readInt(store, FontStyle);
    readInto(v.autoReduce, readBool(store, AutoReduce));
    readInto(v.showTips, readBool(store, ShowTips));
    v.device = readInt(store, Device);
    v.instrument = readInt(store, Instrument);
    readInto(v.autoHide, readBool(store, AutoHide));
    readInto(v.beatVolume, readInt(store, BeatVolume));
    readInto(v.barVolume, readInt(store, BarVolume));
    readInto(v.skin, readString(store, Skin));
    readInto(v.doubleFont, readBool(store, DoubleFont));
    return v;
}

std::optional<QString> SettingsStore::Save(QSettings& store, const SettingsValues& values)
{
    const auto flag = [](bool b) { return b ? 1 : 0; };
    store.setValue(QLatin1String(FontName), values.fontName);
    store.setValue(QLatin1String(FontSize), values.fontSize);
    store.setValue(QLatin1String(FontColor), int(values.fontColor));
    store.setValue(QLatin1String(FontStyle),
                   values.fontStyle.value_or(static_cast<int>(FontStyleBit::Bold)));
    store.setValue(QLatin1String(AutoReduce), flag(values.autoReduce));
    store.setValue(QLatin1String(ShowTips), flag(values.showTips));
    store.setValue(QLatin1String(Device), values.device.value_or(-1));
    store.setValue(QLatin1String(Instrument), values.instrument.value_or(-1));
    store.setValue(QLatin1String(AutoHide), flag(values.autoHide));
    store.setValue(QLatin1String(BeatVolume), values.beatVolume);
    store.setValue(QLatin1String(BarVolume), values.barVolume);
    store.setValue(QLatin1String(Skin), values.skin);
    store.setValue(QLatin1String(DoubleFont), flag(values.doubleFont));

    // QSettings writes through a temporary file and renames it over the old
    // one, so a failed write leaves the previous settings intact.
    store.sync();
    if (store.status() != QSettings::NoError || !store.isWritable()) {
        return QStringLiteral("The settings could not be saved to \"%1\".").arg(store.fileName());
    }
    return std::nullopt;
}

} // namespace velmora
