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

// Two values of a form field, as shown and as stored: numbers compare as
// numbers, everything else as text.
function same(a, b) {
    if (typeof a === "number" || typeof b === "number")
        return Number(a) === Number(b)
    return String(a) === String(b)
}

// The fields the technician has edited to something other than what is stored.
function editedKeys(stored, shown, touched) {
    var keys = []
    for (var key in stored) {
        if (touched[key] && !same(shown[key], stored[key]))
            keys.push(key)
    }
    return keys
}

// Newly stored values against an open form. Fields the technician has not
// touched take the stored value ("take"); touched ones keep what they show,
// and when the stored value changed underneath and now differs from it, the
// field is named in "clashes" so the page can say so.
function reconcile(previous, stored, shown, touched) {
    var result = {
        "take": [],
        "clashes": []
    }
    for (var key in stored) {
        if (!touched[key]) {
            if (!same(shown[key], stored[key]))
                result.take.push(key)
        } else if (!same(shown[key], stored[key]) && !same(previous[key], stored[key])) {
            result.clashes.push(key)
        }
    }
    return result
}

// A spin box's typed text as a number within its range, or NaN while the text
// is not one (empty, or beyond the range). The box itself takes typed text
// only on its own Enter or when it loses the focus.
function spinBoxShown(box) {
    var input = box.contentItem
    if (!input || input.acceptableInput === false)
        return NaN
    var value
    try {
        value = box.valueFromText(String(input.text), box.locale)
    } catch (e) {
        return NaN
    }
    value = Number(value)
    if (!isFinite(value) || value < Math.min(box.from, box.to) || value > Math.max(box.from, box.to))
        return NaN
    return Math.round(value)
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
