// The same classes from JScript: every check prints one PASS or FAIL line.
var failures = 0;
function check(name, body) {
    var detail;
    try {
        detail = body();
    } catch (e) {
        detail = "error " + (e.number & 0xFFFF) + " " + e.description;
    }
    if (detail === true) {
        WScript.Echo("PASS " + name);
    } else {
        WScript.Echo("FAIL " + name + ": " + detail);
        failures++;
    }
}

check("clsOperatingSystem", function () {
    var line = new ActiveXObject("QloraWordAddIn.clsOperatingSystem").OperatingSystem();
    return line.indexOf(" build ") > 0 ? true : line;
});
// A method that raises: the runtime's number as FACILITY_CONTROL, the trail's report as the text.
check("clsWildCardBtn.AddBookmark without Word raises", function () {
    try {
        new ActiveXObject("QloraWordAddIn.clsWildCardBtn").AddBookmark("Subject", "WildCard_Subject");
    } catch (e) {
        var trail = "  Call Stack: clsWildCardBtn.AddBookmark(strText='Subject', strName='WildCard_Subject') ";
        return (e.number >>> 0) == 0x800A01A8 && e.description.substr(0, 16) == "Object required " &&
            e.description.indexOf(trail) >= 0 ? true : (e.number >>> 0).toString(16) + " " + e.description;
    }
    return "no failure";
});
WScript.Echo(failures == 0 ? "DONE all passed" : "DONE " + failures + " failed");
