// Run by the package when the program is removed: deletes the temporary
// files a repair leaves in the program's folder when it is cut short. They are
// named {GUID}.<extension>, the GUID in registry form; the pattern takes only
// names of that shape. The folder comes as the action's CustomActionData.
function RemoveLeftovers() {
    try {
        var fso = new ActiveXObject("Scripting.FileSystemObject");
        var folder = Session.Property("CustomActionData");
        fso.DeleteFile(folder + "{????????-????-????-????-????????????}.*", true);
    } catch (e) {
        // No such file (DeleteFile then fails too), or one still in use:
        // removing the program goes on regardless.
    }
    return 1; // msiDoActionStatusSuccess
}
