.pragma library

// Small pure rules of the maintenance screens, kept here so tests can call them.

// The PIN grows only by decimal digits; it has no length limit.
function pinAppend(pin, key) {
    var text = String(pin)
    return /^[0-9]$/.test(String(key)) ? text + key : text
}

function pinBackspace(pin) {
    var text = String(pin)
    return text.length > 0 ? text.slice(0, -1) : ""
}

// Colour role of the validator's status (and of its reason, shown beside it):
// "red", "amber" or "green".
function validatorStatusRole(status) {
    switch (String(status)) {
    case "offline":
        return "red"
    case "init":
    case "out-of-service":
    case "degraded":
        return "amber"
    default:
        return "green"
    }
}

// Whether the validator configuration form differs from the stored values.
// The URL is compared as text; the numbers as numbers.
function validatorConfigDiffers(stored, edited) {
    return String(stored.obuUrl) !== String(edited.obuUrl)
            || Number(stored.passbackSecs) !== Number(edited.passbackSecs)
            || Number(stored.shutdownDelaySec) !== Number(edited.shutdownDelaySec)
            || Boolean(stored.passbackQrEnabled) !== Boolean(edited.passbackQrEnabled)
            || Boolean(stored.showErrorDesc) !== Boolean(edited.showErrorDesc)
}

// Flag of a locale's language; empty when the bundle holds none that fits
// (an American locale gets no flag rather than a British one).
function languageFlag(locale) {
    var name = String(locale)
    if (name.indexOf("el") === 0)
        return "qrc:/qml/images/Flags/gr.png"
    if (name === "en_IE" || name === "en_GB")
        return "qrc:/qml/images/Flags/uk.png"
    return ""
}

// A value from 0 to 100 as a whole percentage.
function percentText(value) {
    var v = Number(value)
    if (!isFinite(v))
        v = 0
    return Math.round(Math.min(100, Math.max(0, v))) + " %"
}
