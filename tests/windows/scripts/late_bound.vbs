' A late-bound client of the add-in's public classes. Every check prints one PASS or FAIL line;
' the C++ test reads them (Wine's script host prints no script errors of its own).
Option Explicit
On Error Resume Next

Dim failures : failures = 0
Sub Check(name, ByVal ok, ByVal detail)
    If Err.Number <> 0 Then
        ok = False
        detail = "error " & Err.Number & " " & Err.Description
        Err.Clear
    End If
    If ok Then
        WScript.Echo "PASS " & name
    Else
        WScript.Echo "FAIL " & name & ": " & detail
        failures = failures + 1
    End If
End Sub

Dim progId, o
For Each progId In Array("Connect", "clsWordAddIn", "clsWord", "clsWildCardBtn", "clsTemplateList", _
                         "clsOperatingSystem", "clsFileOps", "clsConcatenation", "clsCommandBar")
    Set o = Nothing
    Set o = CreateObject("QloraWordAddIn." & progId)
    Check "create " & progId, IsObject(o), "no object"
Next

Dim c, piece : Set c = CreateObject("QloraWordAddIn.clsConcatenation")
c.Concat "Offer||C:\T\Offer.doc"
piece = "|>|"
c.Concat piece
Check "clsConcatenation", c.Value = "Offer||C:\T\Offer.doc|>|" And c.Length = 24, c.Value & " / " & c.Length

Dim folder : folder = WScript.Arguments(0)
Dim list : Set list = CreateObject("QloraWordAddIn.clsTemplateList")
list.FilePath = folder & "\NewTemplates.ini"
Check "clsTemplateList.AddTemplate", list.AddTemplate("Offer", "C:\T\Offer.doc") And list.AddTemplate("Letter", "\\srv\share\Letter.doc"), ""
Check "clsTemplateList.AddTemplate overwrites", list.AddTemplate("offer", "C:\T\Offer2.doc", True), ""
Check "clsTemplateList.GetEntry by position", list.GetEntry(2) = "offer||C:\T\Offer2.doc", list.GetEntry(2)
Check "clsTemplateList.GetEntry by name", list.GetEntry("LETTER") = "Letter||\\srv\share\Letter.doc", list.GetEntry("LETTER")
list.Save
Dim again : Set again = CreateObject("QloraWordAddIn.clsTemplateList")
again.FilePath = folder & "\NewTemplates.ini"
again.Load
Check "clsTemplateList.Save and Load", again.CountTemplates() = 2 And again.GetEntry(1) = "Letter||\\srv\share\Letter.doc", again.GetEntry(1)
Check "clsTemplateList.TemplateExists", again.TemplateExists("LETTER") And Not again.TemplateExists("Memo"), ""

' A script's variables arrive by reference: each must answer as the literal it holds does.
Dim nameVar, positionVar, textTwo, pathVar, overwriteVar
nameVar = "LETTER" : positionVar = 2 : textTwo = "2" : pathVar = "C:\T\Memo.doc" : overwriteVar = True
Check "clsTemplateList.GetEntry with variables", again.GetEntry(nameVar) = again.GetEntry("LETTER") And _
    again.GetEntry(positionVar) = again.GetEntry(2) And again.GetEntry(textTwo) = again.GetEntry("2") And _
    again.GetEntry("2") = "", again.GetEntry(nameVar) & " / " & again.GetEntry(textTwo)
nameVar = "Memo"
Check "clsTemplateList.AddTemplate and TemplateExists with variables", _
    again.AddTemplate(nameVar, pathVar, overwriteVar) And again.TemplateExists(nameVar) And _
    again.GetEntry(nameVar) = "Memo||C:\T\Memo.doc", again.GetEntry(nameVar)
pathVar = folder & "\Other.ini"
again.FilePath = pathVar
Check "clsTemplateList.FilePath with a variable", again.FilePath = folder & "\Other.ini", again.FilePath

' Nothing for the document is one of the failures the variable operations ignore.
Dim w, noDocument, variableName
Set w = CreateObject("QloraWordAddIn.clsWord")
Set noDocument = Nothing
variableName = "TemplateName"
w.WriteVariable Nothing, "TemplateName", "x"
w.WriteVariable noDocument, variableName, variableName
w.DeleteVariable Nothing, "TemplateName"
w.DeleteVariable noDocument, variableName
Check "clsWord without a document", w.ReadVariable(Nothing, "TemplateName") = "" And _
    w.ReadVariable(noDocument, variableName) = "", ""

Dim button, indexVar : Set button = CreateObject("QloraWordAddIn.clsWildCardBtn")
indexVar = 7
button.Index = indexVar
Set button.Button = noDocument
Check "clsWildCardBtn with variables", button.Index = 7 And button.Button Is Nothing, button.Index

' A method that raises: its number as the runtime's, which VBA reads back the same way.
Dim raising : Set raising = CreateObject("QloraWordAddIn.clsWildCardBtn")
raising.AddBookmark "Subject", "WildCard_Subject"  ' no Word is connected in this process
Dim number, text : number = Err.Number : text = Err.Description : Err.Clear
Check "clsWildCardBtn.AddBookmark without Word raises Object required", number = 424 And _
    Left(text, 15) = "Object required", number & " " & text

If failures = 0 Then WScript.Echo "DONE all passed" Else WScript.Echo "DONE " & failures & " failed"
