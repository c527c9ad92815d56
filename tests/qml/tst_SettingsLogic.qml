import QtQuick 2.15
import QtTest 1.15
import "qrc:/qml/screens/settings/SettingsLogic.js" as Logic

TestCase {
    name: "SettingsLogic"

    function test_pinKeys() {
        var pin = ""
        for (var key of ["1", "2", "x", "", "12", "3"])
            pin = Logic.pinAppend(pin, key)
        compare(pin, "123", "only single digits are taken")
        var longPin = ""
        for (var i = 0; i < 40; ++i)
            longPin = Logic.pinAppend(longPin, "9")
        compare(longPin.length, 40, "no length limit")
        compare(Logic.pinBackspace("123"), "12")
        compare(Logic.pinBackspace("1"), "")
        compare(Logic.pinBackspace(""), "", "backspace on nothing stays empty")
    }

    function test_statusRole_data() {
        return [{
                    "tag": "online",
                    "status": "online",
                    "role": "green"
                }, {
                    "tag": "offline",
                    "status": "offline",
                    "role": "red"
                }, {
                    "tag": "init",
                    "status": "init",
                    "role": "amber"
                }, {
                    "tag": "out-of-service",
                    "status": "out-of-service",
                    "role": "amber"
                }, {
                    "tag": "degraded",
                    "status": "degraded",
                    "role": "amber"
                }, {
                    "tag": "empty",
                    "status": "",
                    "role": "green"
                }]
    }
    function test_statusRole(row) {
        compare(Logic.validatorStatusRole(row.status), row.role)
    }

    function test_editedOnlyWhereTouchedAndDifferent() {
        var stored = {
            "obuUrl": "http://127.0.0.1:8080/obc",
            "passbackSecs": 60,
            "passbackQrEnabled": false,
            "shutdownDelaySec": 2000
        }
        var shown = {
            "obuUrl": "http://127.0.0.1:8080/obc ",
            "passbackSecs": 60,
            "passbackQrEnabled": true,
            "shutdownDelaySec": 900
        }
        // A stored value beyond the box's range shows as its limit: not an edit
        // until the technician touches it.
        compare(Logic.editedKeys(stored, shown, {}), [])
        // The URL compares as text (a trailing blank is a change); numbers as numbers.
        compare(Logic.editedKeys(stored, shown, {
                                     "obuUrl": true,
                                     "passbackSecs": true,
                                     "passbackQrEnabled": true,
                                     "shutdownDelaySec": true
                                 }), ["obuUrl", "passbackQrEnabled", "shutdownDelaySec"])
        verify(Logic.same(60, "60"))
        verify(!Logic.same(NaN, 60))
    }

    function test_reconcileKeepsEdits() {
        var previous = {
            "a": "1",
            "b": "2",
            "c": "3",
            "d": "4"
        }
        var stored = {
            "a": "10",
            "b": "20",
            "c": "3",
            "d": "40"
        }
        var shown = {
            "a": "1",
            "b": "typed",
            "c": "typed",
            "d": "40"
        }
        var result = Logic.reconcile(previous, stored, shown, {
                                         "b": true,
                                         "c": true,
                                         "d": true
                                     })
        // a untouched: refilled; b edited and changed underneath: named; c
        // edited, stored unchanged: kept quietly; d: the new value is what was typed.
        compare(result.take, ["a"])
        compare(result.clashes, ["b"])
    }

    function test_flagAndPercent() {
        compare(Logic.languageFlag("el_GR"), "qrc:/qml/images/Flags/gr.png")
        compare(Logic.languageFlag("en_IE"), "qrc:/qml/images/Flags/uk.png")
        compare(Logic.languageFlag("en_US"), "")
        compare(Logic.percentText(42.6), "43 %")
        compare(Logic.percentText(-5), "0 %")
        compare(Logic.percentText(250), "100 %")
        compare(Logic.percentText(undefined), "0 %")
    }
}
