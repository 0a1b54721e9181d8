/*
 * System view: the switch clock, and for super administrators the saved
 * language, firmware and database transfers, restart and the device mode.
 */
const app = window.kvCore;
const $ = window.jQuery;
const { kui, T, Tf, select, toolbar, section, busyCall, notify, transfer, sessionFields, sessionEnded, serverText,
    languageOptions, myLevel, isFactory, session, SESSION_GONE, CGI_URL } = app;

// Upload text of the program: success, failure, or the session refusal.
function showTransferText(text, okText) {
    text = $.trim(kui.str(text));
    if (text === SESSION_GONE) { sessionEnded(); return; }
    if (text === okText) kui.alert(serverText(text), 'success', T('upload'));
    else kui.alert(serverText(text) || T('unknownFailure'), 'error', T('upload'));
}

function uploadBox(name, field, okText, titleKey, confirmKey) {
    var $file = kui.el('input', { type: 'file', name: field, 'data-name': name + '-file', 'aria-label': T('fileToUpload') + ': ' + T(titleKey) });
    var $sum = kui.el('div', { cls: 'kv-hint kv-md5', 'data-name': name + '-md5' });
    var btn = kui.button({ text: T('upload'), kind: 'primary', name: name + '-upload', click: function () {
        var f = $file[0].files && $file[0].files[0];
        if (!f) { kui.alert(T('chooseFile'), 'warning', T('kindWarning')); return; }
        kui.confirm(Tf(confirmKey, f.name), function () {
            btn.busy(true);
            var fd = sessionFields(new FormData());
            fd.append(field, f, f.name);
            transfer(fd).then(function (xhr) {
                showTransferText(xhr.responseText, okText);
            }, function () { kui.alert(Tf('httpError', '-'), 'error', T('kindError')); })
                .always(function () { btn.busy(false); });
        }, T(titleKey), T('upload'));
    } });
    $file.on('change', function () {
        var f = this.files && this.files[0];
        $sum.text('');
        if (!f) return;
        $sum.text(T('md5Computing'));
        fileMd5(f).then(function (hex) { $sum.text(Tf('md5Of', f.size, hex)); });
    });
    return kui.el('div', { cls: 'kv-upload' }, [$file, btn.$el, $sum]);
}

// MD5 of a file, read in slices so that large images do not block the page.
function fileMd5(file) {
    var d = $.Deferred();
    var h = new window.Md5();
    var step = 1 << 20, pos = 0;
    (function next() {
        if (pos >= file.size) { d.resolve(h.hex()); return; }
        var reader = new FileReader();
        reader.onload = function () {
            h.update(new Uint8Array(reader.result));
            pos += step;
            window.setTimeout(next, 0);
        };
        reader.onerror = function () { d.reject(); };
        reader.readAsArrayBuffer(file.slice(pos, pos + step));
    })();
    return d.promise();
}

// Posts the download form (userID, token, submitDownloadDB): the session
// never goes into an address, where it would end up in logs and history.
function downloadDatabase(btn) {
    if (btn.isBusy) return;
    btn.busy(true);
    var s = session.get() || {};
    var body = 'submitDownloadDB=1&userID=' + encodeURIComponent(kui.str(s.userID)) +
        '&token=' + encodeURIComponent(kui.str(s.token));
    var xhr = new XMLHttpRequest();
    xhr.open('POST', CGI_URL);
    xhr.responseType = 'blob';
    xhr.setRequestHeader('Content-Type', 'application/x-www-form-urlencoded');
    xhr.onloadend = function () { btn.busy(false); };
    xhr.onload = function () {
        var disp = xhr.getResponseHeader('Content-Disposition') || '';
        if (/attachment/i.test(disp)) {
            var url = URL.createObjectURL(xhr.response);
            var $a = kui.el('a', { href: url, download: 'korvan.db' }).appendTo('body');
            $a[0].click();
            $a.remove();
            window.setTimeout(function () { URL.revokeObjectURL(url); }, 10000);
            return;
        }
        var reader = new FileReader();
        reader.onload = function () {
            var text = $.trim(kui.str(reader.result));
            if (text === SESSION_GONE) sessionEnded();
            else kui.alert(serverText(text) || T('unknownFailure'), 'error', T('downloadDB'));
        };
        reader.readAsText(xhr.response);
    };
    xhr.onerror = function () { kui.alert(Tf('httpError', '-'), 'error', T('kindError')); };
    xhr.send(body);
}

export function build($p) {
    var cal = app.calendar();
    var $clock = kui.el('span');
    var clock = $clock.kuiDateEditor({ withTime: true, calendar: cal, label: T('date'), pickLabel: T('sys_pick'),
        partLabels: [T('hour'), T('minute'), T('second')] });
    // The field shows the running switch time until the user changes it.
    var clockEdited = false;
    $clock.on('input change', 'input', function () { clockEdited = true; });
    var useLocal = kui.button({ text: T('useBrowserTime'), name: 'time-local', click: function () {
        clock.setValue(kui.formatDateTime(new Date()));
        clockEdited = true;
    } });
    var setTime = kui.button({ text: T('setClock'), kind: 'primary', name: 'time-set', click: function () {
        if (!clock.valid()) { kui.alert(T('dateInvalid'), 'warning', T('kindWarning')); return; }
        var v = clock.value();
        busyCall(setTime, 'setTime', { time2: v }).then(function () {
            clockEdited = false;
            notify(Tf('clockSet', v));
        });
    } });

    var $lang = select('language', languageOptions(), app.lang).attr('aria-label', T('language'));
    var saveLang = kui.button({ text: T('save'), kind: 'primary', name: 'lang-save', click: function () {
        var code = $lang.val();
        busyCall(saveLang, 'saveLanguage', { language: code }).then(function () {
            app.setLanguage(code);
            notify(T('languageSaved'));
        });
    } });

    var restart = kui.button({ text: T('restart'), kind: 'danger', name: 'restart', click: function () {
        kui.confirm(T('restartConfirm'), function () {
            busyCall(restart, 'restart', {}).then(function () { kui.alert(T('restarting'), 'info', T('restart')); });
        }, T('restart'), T('restart'));
    } });

    var download = kui.button({ text: T('downloadDB'), name: 'db-download', click: function () { downloadDatabase(download); } });

    var convert = kui.button({ text: T('convertClient'), kind: 'danger', name: 'client-mode', click: function () {
        kui.confirm(T('convertConfirm'), function () {
            busyCall(convert, 'convertToClientMode', {}).then(function () { notify(T('converted')); });
        }, T('deviceMode'), T('convertClient'));
    } });
    var $modeSection = section(T('deviceMode'), [kui.el('div', { cls: 'kv-note', text: T('convertNote') }), toolbar([convert])]);

    $p.append(section(T('clock'), [
        kui.el('div', { cls: 'kv-note', text: T('clockNote') }),
        kui.el('div', { cls: 'kv-inline' }, [$clock, useLocal.$el, setTime.$el])
    ]));
    var tick = function () {
        if (!clockEdited) clock.setValue(kui.formatDateTime(app.serverNow()));
    };
    var hooks = { render: tick, tick: tick };
    // The rest of the tab is super administrators' work.
    if (myLevel() < 3) return hooks;
    $p.append(
        section(T('language'), [kui.el('div', { cls: 'kv-inline' }, [$lang, saveLang.$el])]),
        section(T('firmware'), [kui.el('div', { cls: 'kv-note', text: T('firmwareNote') }),
            uploadBox('firmware', 'systemFile', 'update firmware success', 'firmware', 'firmwareConfirm')]),
        section(T('database'), [
            kui.el('div', { cls: 'kv-note', text: T('databaseNote') }),
            uploadBox('database', 'dbFile', 'update database success', 'database', 'databaseConfirm'),
            toolbar([download])
        ]),
        section(T('restart'), [kui.el('div', { cls: 'kv-note', text: T('restartNote') }), toolbar([restart])]),
        $modeSection
    );
    hooks.render = function () {
        tick();
        $modeSection.toggle(isFactory());
    };
    return hooks;
}

export const texts = {
    en: { sys_pick: 'Calendar' },
    de: { sys_pick: 'Kalender' }
};
