/*
 * The administration UI of the KVM switch.
 *
 * Every call goes to the program as a POST with one form field, postKey, that
 * holds a JSON document whose member `type` names the operation. Every reply
 * is a JSON document with `ret` ("ok", "err", "warning", "armErr", "lockErr"),
 * `retMsg` on failure, and after every successful call the whole
 * configuration (users, groups, consoles, server, lists, ...), which this page
 * renders again each time: the page keeps no configuration of its own.
 *
 * After login the session (user id, token, name) is kept in sessionStorage
 * and sent with every call as `user` {id, token, nm} and `userID`; file
 * transfers send it as the form fields userID and token. Neither the session
 * nor the kept configuration holds a password.
 *
 * The page offers only what the logged-in user may do: the group level
 * (curUser.level) decides the tabs and buttons, and the user's right code on
 * a console's slot (curUser.dogDB) decides KVM and serial access.
 *
 * Texts come from lib/language.js (kuiLanguages, chosen by siteLang).
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;

    // ---------------------------------------------------------------- texts

    var LANGS = window.kuiLanguages || {};
    var lang = pickLanguage(window.siteLang);

    function pickLanguage(code) {
        return LANGS[code] ? code : 'en';
    }

    // Text of a key in the current language, English when it has none.
    function T(key) {
        var l = LANGS[lang] && LANGS[lang].texts;
        if (l && l[key] !== undefined) return l[key];
        var en = LANGS.en && LANGS.en.texts;
        return (en && en[key] !== undefined) ? en[key] : key;
    }

    // T with {0}, {1}, ... replaced by the arguments.
    function Tf(key) {
        var args = Array.prototype.slice.call(arguments, 1);
        return T(key).replace(/\{(\d+)\}/g, function (m, n) { return kui.str(args[+n]); });
    }

    // A message of the program as a sentence of the current language when
    // the catalogue knows it; otherwise the program's own words.
    function serverText(msg) {
        msg = $.trim(kui.str(msg));
        var known = window.kuiMessage ? window.kuiMessage(lang, msg) : null;
        return known !== null ? known : msg;
    }

    // ---------------------------------------------------------------- value tables

    var SESSION_GONE = 'curUser has loginned or idle timeout';
    var PASSWORD_FIRST = 'password change required';
    var CODE_VALUES = ['500', '1000', '1500', '2000'];            // console bit rate by index
    var FRAME_VALUES = ['1', '5', '10', '15', '20', '25', '30', '35']; // console frame rate by index
    var RIGHT_NONE = '0', RIGHT_READ = '1', RIGHT_WRITE = '3';
    var MAX_POSTKEY_BYTES = 29999;

    // ---------------------------------------------------------------- session

    var STORE_KEY = 'kvm.session';

    var session = {
        get: function () {
            try { return JSON.parse(window.sessionStorage.getItem(STORE_KEY) || 'null'); }
            catch (e) { return null; }
        },
        set: function (s) { window.sessionStorage.setItem(STORE_KEY, JSON.stringify(s)); },
        clear: function () { window.sessionStorage.removeItem(STORE_KEY); }
    };

    // ---------------------------------------------------------------- program calls

    var CGI_URL = '../cgi/korvan.cgi';
    var snap = null;             // last configuration from the program
    var firstLoginPrompted = false;

    function byteLength(text) {
        return unescape(encodeURIComponent(text)).length;
    }

    // Parses the program's reply text; a reply that is no JSON object is
    // reported as an error of its own.
    function parseReply(text) {
        try {
            var r = JSON.parse($.trim(text));
            if (r && typeof r === 'object' && !$.isArray(r)) return r;
        } catch (e) { /* reported below */ }
        return { ret: 'err', retMsg: T('badReply') };
    }

    // Calls the program. Returns a jQuery promise that is resolved with the
    // reply when ret is "ok" and rejected with it otherwise; failures are
    // shown to the user here unless opts.quiet is set.
    function call(type, params, opts) {
        opts = opts || {};
        var doc = $.extend({ type: type }, params || {});
        var s = session.get();
        if (type === 'login') {
            doc.user = {};
        } else if (s) {
            doc.user = { id: s.id, token: s.token, nm: s.nm };
            doc.userID = s.userID;
        }
        var text = JSON.stringify(doc);
        var done = $.Deferred();
        if (byteLength(text) > MAX_POSTKEY_BYTES) {
            var tooBig = { ret: 'warning', retMsg: T('requestTooLarge') };
            if (!opts.quiet) showFailure(tooBig);
            return done.reject(tooBig).promise();
        }
        var attempt = 0;
        (function send() {
            attempt++;
            $.ajax({
                url: CGI_URL, type: 'POST', dataType: 'text', timeout: 60000,
                data: { postKey: text }
            }).then(function (body) {
                var reply = parseReply(body);
                // The database was busy with another request: try again shortly.
                if (reply.ret === 'lockErr' && attempt < 3) {
                    window.setTimeout(send, 300 * attempt);
                    return;
                }
                if (reply.ret === 'ok') {
                    applySnapshot(reply);
                    done.resolve(reply);
                } else {
                    if (!opts.quiet) showFailure(reply);
                    done.reject(reply);
                }
            }, function (xhr, status) {
                var reply = { ret: 'err', retMsg: Tf('httpError', status === 'timeout' ? T('timeout') : (xhr.status || status)) };
                if (!opts.quiet) showFailure(reply);
                done.reject(reply);
            });
        })();
        return done.promise();
    }

    // Shows a failed call: a closed session sends the user back to the login.
    function showFailure(reply) {
        if (reply.retMsg === SESSION_GONE) {
            sessionEnded();
            return;
        }
        if (reply.retMsg === PASSWORD_FIRST) {
            requirePasswordChange();
            return;
        }
        var kinds = {
            warning: ['warning', 'kindWarning'], err: ['error', 'kindError'],
            armErr: ['error', 'kindArmErr'], lockErr: ['warning', 'kindLockErr']
        };
        var k = kinds[reply.ret] || ['error', 'kindError'];
        var text = serverText(reply.retMsg);
        if (reply.ret === 'lockErr' && !text) text = serverText('lockErr');
        kui.alert(text || T('unknownFailure'), k[0], T(k[1]));
    }

    // ---------------------------------------------------------------- helpers

    function isIPv4(text) {
        var m = /^(\d{1,3})\.(\d{1,3})\.(\d{1,3})\.(\d{1,3})$/.exec(text);
        if (!m) return false;
        for (var i = 1; i <= 4; i++) if (+m[i] > 255) return false;
        return true;
    }

    function isPort(text) {
        return /^\d{1,5}$/.test(text) && +text >= 1 && +text <= 65535;
    }

    // Module kind from the second character of a console module's uid.
    function moduleKind(uid) {
        var k = parseInt(kui.str(uid).charAt(1), 10);
        return (k >= 1 && k <= 3) ? k : 0;
    }

    function kindName(kind) { return T('kind' + (kind >= 1 && kind <= 3 ? kind : 0)); }

    function tableName(prefix, value, count) {
        var n = parseInt(value, 10);
        return (n >= 0 && n < count) ? T(prefix + n) : '--';
    }

    // A labelled form row; the label is linked to the field's control (and
    // the hint describes it), plain text gets a plain caption.
    function row(labelText, $field, hintText) {
        var $control = $field.is('input, select, textarea') ? $field : $field.find('input, select, textarea').first();
        var $label = kui.el($control.length ? 'label' : 'span', { cls: 'kv-label', text: labelText });
        var $hint = hintText ? kui.el('div', { cls: 'kv-hint', text: hintText, id: kui.uid('hint') }) : null;
        if ($control.length) {
            if (!$control.attr('id')) $control.attr('id', kui.uid('f'));
            $label.attr('for', $control.attr('id'));
            if ($hint) $control.attr('aria-describedby', $hint.attr('id'));
        }
        return kui.el('div', { cls: 'kv-row' }, [$label, kui.el('div', { cls: 'kv-field' }, [$field, $hint])]);
    }

    // A label linked to a control that sits outside a form row.
    function labelFor(text, $control) {
        if (!$control.attr('id')) $control.attr('id', kui.uid('f'));
        return kui.el('label', { cls: 'kv-label', text: text, 'for': $control.attr('id') });
    }

    function input(name, value, attrs) {
        return kui.el('input', $.extend({ type: 'text', name: name, cls: 'kv-input' }, attrs || {})).val(kui.str(value));
    }

    function select(name, options, value) {
        var $s = kui.el('select', { name: name, cls: 'kv-input' });
        $.each(options, function (i, o) { $s.append(kui.el('option', { value: o[0], text: o[1] })); });
        $s.val(kui.str(value));
        if ($s.val() === null && options.length) $s.val(options[0][0]);
        return $s;
    }

    function field($form, name) { return $.trim($form.find('[name="' + name + '"]').val() || ''); }

    function toolbar(buttons) {
        var $bar = kui.el('div', { cls: 'kv-toolbar' });
        $.each(buttons, function (i, b) { if (b) $bar.append(b.$el); });
        return $bar;
    }

    function section(titleText, body) {
        return kui.el('div', { cls: 'kv-section' }, [kui.el('h2', { cls: 'kv-section-title', text: titleText })].concat(body));
    }

    function formError($form, text) {
        var $e = $form.find('.kv-form-error');
        if (!$e.length) { $e = kui.el('div', { cls: 'kv-form-error' }); $form.prepend($e); }
        $e.text(text).toggle(!!text);
        // The message goes as soon as the person changes a field.
        if (text) $form.off('.kvErr').one('input.kvErr change.kvErr', function () { $e.hide(); });
        return false;
    }

    // Short non-modal message after a successful change (a status region
    // that screen readers announce); it fades after a few seconds.
    var statusTimer = null;
    function notify(text) {
        var $s = $('#kv-status');
        if (!$s.length) return;
        $s.text(text).addClass('kv-status-on');
        window.clearTimeout(statusTimer);
        statusTimer = window.setTimeout(function () { $s.removeClass('kv-status-on').text(''); }, 6000);
    }

    // Runs a request started by button btn: the button is out of use until
    // the reply, so a second press cannot start a second request.
    function busyCall(btn, type, params, opts) {
        if (btn.isBusy) return $.Deferred().reject({ ret: 'busy' }).promise();
        btn.busy(true);
        return call(type, params, opts).always(function () { btn.busy(false); });
    }

    // Runs a call for a dialog: buttons disabled meanwhile, closed on success.
    function dialogCall(dlg, type, params, onOk, doneText) {
        dlg.busy(true);
        return call(type, params).then(function (reply) {
            dlg.busy(false);
            dlg.close();
            if (doneText) notify(doneText);
            if (onOk) onOk(reply);
        }, function () { dlg.busy(false); });
    }

    function currentUserRow() {
        var me = snap && snap.curUser;
        if (!me) return null;
        var found = null;
        $.each(kui.list(snap.users), function (i, u) { if (u.id === me.id) found = u; });
        return found;
    }

    function isFactory() { return !!snap && snap.factoryMode === '1'; }

    // Group level of the logged-in user: 1 user, 2 administrator, 3 super administrator.
    function myLevel() { return parseInt(snap && snap.curUser && snap.curUser.level, 10) || 0; }

    // The logged-in user's right code on the slot of console module d: the
    // rights text holds one code per slot, slots in ascending id order.
    function myRightOn(d) {
        var rights = kui.str(snap && snap.curUser && snap.curUser.dogDB);
        var code = RIGHT_NONE;
        $.each(kui.list(snap && snap.dogInfos), function (i, slot) {
            var same = d.dogInfoID !== undefined ? kui.str(slot.id) === kui.str(d.dogInfoID) : slot.uid === d.uid;
            if (same) { code = rights.charAt(i) || RIGHT_NONE; return false; }
        });
        return code;
    }

    // ---------------------------------------------------------------- rights editor

    // Editor of a rights text: one code per console slot (slots in ascending
    // id order), "0" none, "1" read, "3" read and write. A slot whose code is
    // something else and that the user does not touch keeps its code.
    function rightsEditor(rights) {
        var slots = kui.list(snap && snap.dogInfos);
        var codes = kui.str(rights).split('');
        while (codes.length < slots.length) codes.push(RIGHT_NONE);
        var $table = kui.el('table', { cls: 'kv-rights' });
        $table.append(kui.el('tr', {}, [
            kui.el('th', { text: T('slot') }), kui.el('th', { text: T('console') }),
            kui.el('th', { text: T('rightRead') }), kui.el('th', { text: T('rightWrite') })
        ]));
        $.each(slots, function (i, slot) {
            var read = kui.checkBox({ label: '', checked: codes[i] === RIGHT_READ || codes[i] === RIGHT_WRITE, name: 'read' + i,
                ariaLabel: Tf('rightOnSlot', T('rightRead'), slot.id) });
            var write = kui.checkBox({ label: '', checked: codes[i] === RIGHT_WRITE, name: 'write' + i,
                ariaLabel: Tf('rightOnSlot', T('rightWrite'), slot.id) });
            read.on('change', function (on) {
                if (!on) write.checked(false);
                codes[i] = on ? (write.checked() ? RIGHT_WRITE : RIGHT_READ) : RIGHT_NONE;
            });
            write.on('change', function (on) {
                if (on) read.checked(true);
                codes[i] = on ? RIGHT_WRITE : (read.checked() ? RIGHT_READ : RIGHT_NONE);
            });
            var inUse = slot.setted === '1';
            $table.append(kui.el('tr', { cls: inUse ? '' : 'kv-muted' }, [
                kui.el('td', { text: slot.id }),
                kui.el('td', { text: inUse ? slot.nm : T('slotFree') }),
                kui.el('td', {}, [read.$el]), kui.el('td', {}, [write.$el])
            ]));
        });
        if (!slots.length) $table.append(kui.el('tr', {}, [kui.el('td', { colspan: 4, text: T('noSlots') })]));
        return { $el: $table, value: function () { return codes.join(''); } };
    }

    // Short text of a rights string for tables: "r" read, "rw" read write.
    function rightsSummary(rights) {
        var parts = [];
        var slots = kui.list(snap && snap.dogInfos);
        $.each(kui.str(rights).split(''), function (i, c) {
            if (c === RIGHT_READ || c === RIGHT_WRITE) {
                parts.push((slots[i] ? slots[i].id : i + 1) + ':' + (c === RIGHT_WRITE ? T('rightsRW') : T('rightsR')));
            }
        });
        return parts.length ? parts.join(' ') : T('rightsNone');
    }

    // ---------------------------------------------------------------- password

    // Number of character classes (lower, upper, digit, other): kept per user
    // as its password depth.
    function passwordDepth(pw) {
        var n = 0;
        if (/[a-z]/.test(pw)) n++;
        if (/[A-Z]/.test(pw)) n++;
        if (/[0-9]/.test(pw)) n++;
        if (/[^a-zA-Z0-9]/.test(pw)) n++;
        return String(Math.max(n, 1));
    }

    function passwordFields($form, required) {
        var $pw = input('pw', '', { type: 'password', autocomplete: 'new-password' });
        var $pw2 = input('pw2', '', { type: 'password', autocomplete: 'new-password' });
        var $meter = kui.el('div', { cls: 'kv-hint' });
        $pw.on('input', function () {
            var v = $pw.val();
            $meter.text(v ? Tf('pwStrength', passwordDepth(v)) : '');
        });
        $form.append(row(T('password'), $pw), row(T('passwordAgain'), $pw2), $meter);
        return function check() {
            var pw = $pw.val(), pw2 = $pw2.val();
            if (!pw && required) return formError($form, T('pwEmpty'));
            if (pw !== pw2) return formError($form, T('pwMismatch'));
            return true;
        };
    }

    // Sets the logged-in user's own password (updUser with setPW "yes").
    // forced: the switch accepts nothing else until the password is changed,
    // so the dialog cannot be closed and stays up until the change succeeds.
    var passwordDialog = null;
    function changeOwnPassword(reasonText, forced) {
        if (passwordDialog) return;
        var me = currentUserRow() || (forced && snap && snap.curUser);
        if (!me) { kui.alert(T('ownUserMissing'), 'warning', T('kindWarning')); return; }
        var $form = kui.el('form', { cls: 'kv-form', autocomplete: 'off' });
        if (reasonText) $form.append(kui.el('div', { cls: 'kv-note', text: reasonText }));
        var $old = input('oldPw', '', { type: 'password', autocomplete: 'current-password' });
        $form.append(row(T('oldPassword'), $old));
        var check = passwordFields($form, true);
        passwordDialog = kui.dialog({
            title: T('changePassword'), content: $form, width: 440, closable: !forced, buttons: [
                { text: T('save'), kind: 'primary', name: 'save', click: function (dlg) {
                    if (!$old.val()) return formError($form, T('oldPwEmpty'));
                    if (!check()) return;
                    var pw = $form.find('[name=pw]').val();
                    if (pw === $old.val()) return formError($form, T('pwSame'));
                    var para = userParaFrom(me, { pw: pw, pwdDepth: passwordDepth(pw), setPW: 'yes', oldPw: $old.val() });
                    dialogCall(dlg, 'updUser', { userPara: para }, null, T('passwordChanged'));
                } },
                forced ? null : { text: T('cancel'), click: function (dlg) { dlg.close(); } }
            ]
        });
        passwordDialog.on('close', function () { passwordDialog = null; });
    }

    // The switch refuses everything until the initial password is replaced.
    function requirePasswordChange() {
        changeOwnPassword(T('firstLoginPrompt'), true);
    }

    // The userPara of a user row (never its password), with some members replaced.
    function userParaFrom(u, changes) {
        var para = {
            id: u.id, nm: u.nm, memo: u.memo, pid: u.pid, pidCN: u.privNM, dogDB: u.dogDB,
            code: u.code, frame: u.frame, media: u.media, nm2: u.nm2, addrH: u.addrH, addrC: u.addrC,
            phone: u.phone, email: u.email, prior: u.prior, memo2: u.memo2, pwdDepth: u.pwdDepth, setPW: 'no'
        };
        return $.extend(para, changes || {});
    }

    // ---------------------------------------------------------------- login

    var $login, $app, layout, tabs, views = {};
    var clockOffset = 0, clockTimer = null;

    function showLogin(messageText, kind) {
        kui.closeAllDialogs();
        if (clockTimer) { window.clearInterval(clockTimer); clockTimer = null; }
        $app.hide().empty();
        views = {};
        snap = null;
        $login.empty().show();
        var $user = input('userNM', '', { autocomplete: 'username', id: 'kv-login-user' });
        var $pw = input('pw', '', { type: 'password', autocomplete: 'current-password', id: 'kv-login-pw' });
        var $msg = kui.el('div', { cls: 'kv-login-msg' });
        if (messageText) $msg.addClass('kv-login-' + (kind || 'error')).text(messageText);
        var $langSel = select('lang', languageOptions(), lang).attr('aria-label', T('language')).on('change', function () {
            lang = pickLanguage($(this).val());
            applyLanguage();
            showLogin();
        });
        var submit = kui.button({ text: T('login'), kind: 'primary', name: 'login' });
        var $form = kui.el('form', { cls: 'kv-login-form', autocomplete: 'on' }, [
            kui.el('h1', { cls: 'kv-login-title', text: T('appTitle') }),
            kui.el('div', { cls: 'kv-login-sub', text: T('loginPrompt') }),
            $msg,
            row(T('userName'), $user),
            row(T('password'), $pw),
            kui.el('div', { cls: 'kv-login-actions' }, [submit.$el.attr('type', 'submit')]),
            kui.el('div', { cls: 'kv-login-lang' }, [$langSel])
        ]);
        $form.on('submit', function (e) {
            e.preventDefault();
            var name = $.trim($user.val());
            if (!name) { $msg.attr('class', 'kv-login-msg kv-login-error').text(T('nameEmpty')); return; }
            submit.enable(false);
            $msg.attr('class', 'kv-login-msg').text(T('loggingIn'));
            var pw = $pw.val();
            $pw.val('');
            login(name, pw).then(null, function (reply) {
                submit.enable(true);
                var kindCls = reply.ret === 'warning' || reply.ret === 'lockErr' ? 'kv-login-warning' : 'kv-login-error';
                $msg.attr('class', 'kv-login-msg ' + kindCls).text(serverText(reply.retMsg) || T('unknownFailure'));
                $pw.focus();
            });
        });
        $login.append(kui.el('main', { cls: 'kv-login-box' }, [$form]));
        $user.focus();
    }

    // The browser's offset from UTC in minutes east (e.g. 60 in CET winter).
    function browserTimezone() {
        return -new Date().getTimezoneOffset();
    }

    function login(name, pw) {
        session.clear();
        firstLoginPrompted = false;
        return call('login', { userNM: name, pw: pw, timezone: browserTimezone() }, { quiet: true })
            .then(function (reply) {
                var me = reply.curUser || {};
                session.set({ id: me.id, token: me.token, nm: me.nm, userID: me.id });
                // A login that succeeds with a message: the password has
                // expired. That prompt replaces the first-login one.
                if (reply.retMsg) firstLoginPrompted = true;
                showApp();
                if (reply.retMsg) changeOwnPassword(serverText(reply.retMsg));
                else if (reply.firstLogin === true) { firstLoginPrompted = true; requirePasswordChange(); }
                return reply;
            });
    }

    function logout() {
        call('logout', {}, { quiet: true }).always(function () {
            session.clear();
            showLogin(T('loggedOut'), 'info');
        });
    }

    // The program refused the session: logged in elsewhere or idle too long.
    function sessionEnded() {
        session.clear();
        showLogin(T('sessionEnded'), 'warning');
    }

    // ---------------------------------------------------------------- application frame

    function languageOptions() {
        var out = [];
        $.each(LANGS, function (code, l) { out.push([code, l.name || code]); });
        return out;
    }

    function applyLanguage() {
        kui.dialogTexts = { ok: T('ok'), cancel: T('cancel'), close: T('close') };
        document.title = T('appTitle');
        $('html').attr('lang', lang);
    }

    var TAB_IDS = ['consoles', 'users', 'groups', 'network', 'security', 'log', 'system'];

    // The tabs the logged-in user has anything to do in: users, groups,
    // network and security are super administrators' work; the log and the
    // clock need an administrator.
    function myTabs() {
        var level = myLevel();
        return $.grep(TAB_IDS, function (id) {
            if (id === 'consoles') return true;
            if (id === 'log' || id === 'system') return level >= 2;
            return level >= 3;
        });
    }

    function showApp() {
        views = {};
        $login.hide().empty();
        $app.show();
        var current = tabs ? tabs.selected() : null;
        layout = $app.kuiLayout({ title: T('appTitle') });
        var $user = kui.el('span', { cls: 'kv-user' });
        var refresh = kui.button({ text: T('refresh'), name: 'refresh', click: function () {
            layout.center().attr('aria-busy', 'true');
            busyCall(refresh, 'ref').then(function () { notify(T('refreshed')); })
                .always(function () { if (layout) layout.center().removeAttr('aria-busy'); });
        } });
        layout.tools().append(
            $user,
            kui.button({ text: T('changePassword'), name: 'own-password', click: function () { changeOwnPassword(); } }).$el,
            refresh.$el,
            kui.button({ text: T('logout'), name: 'logout', click: logout }).$el
        );
        views.$user = $user;
        views.$banner = kui.el('div', { cls: 'kv-banners' });
        var $status = kui.el('div', { id: 'kv-status', cls: 'kv-status', role: 'status', 'aria-live': 'polite' });
        var $tabs = kui.el('div', { cls: 'kv-tabs' });
        layout.center().append(views.$banner, $status, $tabs);
        var ids = myTabs();
        tabs = $tabs.kuiTab({ tabs: $.map(ids, function (id) { return { id: id, title: T('tab_' + id) }; }) });
        var builders = { consoles: buildConsoles, users: buildUsers, groups: buildGroups, network: buildNetwork,
                         security: buildSecurity, log: buildLog, system: buildSystem };
        $.each(ids, function (i, id) { builders[id](tabs.panel(id)); });
        if (current) tabs.select(current);
        if (snap) render();
        if (!clockTimer) clockTimer = window.setInterval(renderStatus, 1000);
    }

    // Stores the configuration of a successful reply and shows it.
    function applySnapshot(reply) {
        if (!reply.curUser && !reply.server) return;
        // The page keeps no password and no other user's token, whatever
        // the program sends.
        if (reply.curUser) delete reply.curUser.pw;
        $.each(kui.list(reply.users), function (i, u) { delete u.pw; delete u.token; });
        snap = reply;
        var t = parseServerTime(reply.serverTime);
        if (t) clockOffset = t.getTime() - Date.now();
        if ($app && $app.is(':visible')) render();
    }

    function parseServerTime(text) {
        var m = /^(\d{4})-(\d{2})-(\d{2}) (\d{2}):(\d{2}):(\d{2})$/.exec(kui.str(text));
        return m ? new Date(+m[1], +m[2] - 1, +m[3], +m[4], +m[5], +m[6]) : null;
    }

    function render() {
        if (!snap || !views.$user) return;
        var me = snap.curUser || {};
        views.$user.text(Tf('loggedInAs', me.nm, me.privNM));
        layout.title(T('appTitle') + (snap.server && snap.server.nm ? ' \u2014 ' + snap.server.nm : ''));
        renderBanners();
        renderStatus();
        $.each(['consoles', 'users', 'groups', 'network', 'security', 'system'], function (i, id) {
            if (views[id]) views[id]();
        });
        if (snap.firstLogin === true && !firstLoginPrompted) {
            firstLoginPrompted = true;
            requirePasswordChange();
        }
    }

    function renderBanners() {
        var $b = views.$banner.empty();
        if (isFactory()) $b.append(kui.el('div', { cls: 'kv-banner kv-banner-info', text: T('factoryBanner') }));
        if (snap.firstLogin === true) {
            $b.append(kui.el('div', { cls: 'kv-banner kv-banner-warning' }, [
                kui.el('span', { text: T('firstLoginBanner') + ' ' }),
                kui.el('a', { href: '#', text: T('changePassword'), on: { click: function (e) {
                    e.preventDefault(); requirePasswordChange();
                } } })
            ]));
        }
        if (snap.hint) $b.append(kui.el('div', { cls: 'kv-banner kv-banner-warning', 'data-name': 'hint', text: serverText(snap.hint) }));
    }

    function renderStatus() {
        if (!snap || !layout) return;
        var s = snap.server || {};
        var parts = [
            Tf('statusVersion', $.trim(kui.str(snap.softVersion))),
            Tf('statusTime', kui.formatDateTime(new Date(Date.now() + clockOffset))),
            Tf('statusTemp', kui.str(s.temp)),
            Tf('statusHumid', kui.str(s.humid)),
            isFactory() ? T('modeFactory') : T('modeNormal')
        ];
        layout.status(parts.join('   \u00b7   '));
        if (views.clockTick) views.clockTick();
    }

    // ---------------------------------------------------------------- consoles

    function consoleCode(d) {
        var k = d.type2;
        if (k !== 1 && k !== 3) return '--';
        return CODE_VALUES[d.code] !== undefined ? Tf('unitKbit', CODE_VALUES[d.code]) : '?';
    }

    function consoleFrame(d) {
        var k = d.type2;
        if (k !== 1 && k !== 3) return '--';
        return FRAME_VALUES[d.frame] !== undefined ? Tf('unitFps', FRAME_VALUES[d.frame]) : '?';
    }

    function serialHolder(d) {
        var holder = '';
        $.each(kui.list(snap.serials), function (i, s) { if (s.dogID === d.id) holder = s.userNM; });
        return holder;
    }

    function buildConsoles($p) {
        var btnEdit = kui.button({ text: T('edit'), name: 'dog-edit', click: function () { editConsole(grid.selected()); } });
        var btnKvm = kui.button({ text: T('kvmSession'), kind: 'primary', name: 'dog-kvm', click: function () { kvmSession(grid.selected(), btnKvm); } });
        var btnCap = kui.button({ text: T('serialCapture'), name: 'dog-cap', click: function () { serial(grid.selected(), 'cap', btnCap); } });
        var btnUncap = kui.button({ text: T('serialRelease'), name: 'dog-uncap', click: function () { serial(grid.selected(), 'uncap', btnUncap); } });
        var $grid = kui.el('div', { cls: 'kv-grid-dogs' });
        var grid = $grid.kuiGrid({
            label: T('onlineConsoles'),
            rowId: function (d) { return d.id; },
            emptyText: T('noConsoles'),
            columns: [
                { name: 'dogInfoID', display: T('slot'), width: 50 },
                { name: 'id', display: T('port'), width: 50 },
                { name: 'nm', display: T('name') },
                { name: 'type2', display: T('kind'), render: function (d) { return kindName(d.type2); } },
                { name: 'status', display: T('state'), render: function (d) { return tableName('dogStatus', d.status, 3); } },
                { name: 'code', display: T('bitRate'), render: consoleCode },
                { name: 'frame', display: T('frameRate'), render: consoleFrame },
                { name: 'group2', display: T('group2') },
                { name: 'pos1', display: T('pos1') },
                { name: 'pos2', display: T('pos2') },
                { name: 'depart', display: T('depart') },
                { name: 'memo', display: T('memo') },
                { display: T('serialHolder'), render: serialHolder }
            ]
        });
        var admin = myLevel() >= 2;
        if (admin) grid.on('dblclick', editConsole);
        // Enter on a row: the KVM session, where the user may open one.
        grid.on('activate', function () { if (!btnKvm.$el.prop('disabled')) btnKvm.$el.click(); });
        function updateButtons() {
            var d = grid.selected();
            var right = d ? myRightOn(d) : RIGHT_NONE;
            btnEdit.enable(!!d);
            btnKvm.enable(!!d && (right === RIGHT_READ || right === RIGHT_WRITE));
            var serialDog = !!d && d.type2 === 2 && right === RIGHT_WRITE;
            btnCap.enable(serialDog && !serialHolder(d));
            btnUncap.enable(serialDog && !!serialHolder(d));
        }
        grid.on('select', updateButtons);

        var btnClear = kui.button({ text: T('clearSlot'), name: 'slot-clear', click: function () { clearSlot(slotGrid.selected(), btnClear); } });
        var $slotGrid = kui.el('div', { cls: 'kv-grid-slots' });
        var slotGrid = $slotGrid.kuiGrid({
            label: T('consoleSlots'),
            rowId: function (s) { return s.id; },
            emptyText: T('noSlots'),
            columns: [
                { name: 'id', display: T('slot'), width: 50 },
                { name: 'setted', display: T('slotState'), render: function (s) { return s.setted === '1' ? T('slotUsed') : T('slotFree'); } },
                { name: 'uid', display: T('uid'), render: function (s) { return s.setted === '1' ? s.uid : ''; } },
                { name: 'nm', display: T('name'), render: function (s) { return s.setted === '1' ? s.nm : ''; } }
            ]
        });
        slotGrid.on('select', function (s) { btnClear.enable(!!s && s.setted === '1'); });
        slotGrid.on('delete', function () { if (!btnClear.$el.prop('disabled')) btnClear.$el.click(); });

        $p.append(
            section(T('onlineConsoles'), [toolbar([admin ? btnEdit : null, btnKvm, btnCap, btnUncap]), $grid]),
            admin ? section(T('consoleSlots'), [kui.el('div', { cls: 'kv-note', text: T('slotsNote') }), toolbar([btnClear]), $slotGrid]) : null
        );
        views.consoles = function () {
            grid.setData(snap.dogs);
            slotGrid.setData(snap.dogInfos);
            updateButtons();
            var s = slotGrid.selected();
            btnClear.enable(!!s && s.setted === '1');
        };
    }

    function editConsole(d) {
        if (!d) return;
        var kind = d.type2;
        var video = kind === 1 || kind === 3;
        var factory = isFactory();
        var $form = kui.el('form', { cls: 'kv-form' });
        $form.append(
            row(T('port'), kui.el('span', { cls: 'kv-static', text: d.id })),
            row(T('kind'), kui.el('span', { cls: 'kv-static', text: kindName(kind) })),
            factory ? row(T('uid'), input('uid', d.uid, { maxlength: 17 })) : row(T('uid'), kui.el('span', { cls: 'kv-static', text: d.uid })),
            factory ? row(T('portID'), input('portID', d.id, { maxlength: 3 }), T('portIDHint')) : null,
            row(T('name'), input('nm', d.nm, { maxlength: 33 })),
            row(T('shareMode'), select('sm', [['0', T('share0')], ['1', T('share1')], ['2', T('share2')]], d.sm)),
            row(T('bitRate'), select('code', $.map(CODE_VALUES, function (v, i) { return [[String(i), Tf('unitKbit', v)]]; }), d.code).prop('disabled', !video)),
            row(T('frameRate'), select('frame', $.map(FRAME_VALUES, function (v, i) { return [[String(i), Tf('unitFps', v)]]; }), d.frame).prop('disabled', !video))
        );
        if (!factory) {
            $form.append(
                row(T('group2'), input('group2', d.group2)),
                row(T('pos1'), input('pos1', d.pos1)),
                row(T('pos2'), input('pos2', d.pos2)),
                row(T('depart'), input('depart', d.depart)),
                row(T('memo'), input('memo', d.memo))
            );
        }
        kui.dialog({
            title: Tf('editConsoleTitle', d.nm), content: $form, width: 480, buttons: [
                { text: T('save'), kind: 'primary', name: 'save', click: function (dlg) {
                    var nm = field($form, 'nm');
                    if (!nm) return formError($form, T('nameEmpty'));
                    var uid = factory ? field($form, 'uid') : d.uid;
                    var portID = factory ? field($form, 'portID') : kui.str(d.id);
                    if (factory && !/^\d{1,3}$/.test(portID)) return formError($form, T('portIDInvalid'));
                    // Kinds without video settings are sent back as they were reported.
                    var code = video ? CODE_VALUES[+$form.find('[name=code]').val()] : kui.str(d.code);
                    var frame = video ? FRAME_VALUES[+$form.find('[name=frame]').val()] : kui.str(d.frame);
                    var para = {
                        id: kui.str(d.id), uid: uid, portID: portID, nm: nm,
                        sm: $form.find('[name=sm]').val(), code: code, frame: frame,
                        type2: String(moduleKind(uid)), status: kui.str(d.status), priv: '0'
                    };
                    if (!factory) {
                        $.each(['group2', 'pos1', 'pos2', 'depart', 'memo'], function (i, k) { para[k] = field($form, k); });
                    }
                    dialogCall(dlg, 'updDog', { dogPara: para }, null, Tf('consoleSaved', nm));
                } },
                { text: T('cancel'), click: function (dlg) { dlg.close(); } }
            ]
        });
    }

    function kvmSession(d, btn) {
        if (!d) return;
        var s = snap.server || {};
        var params = {
            dogPara: { id: kui.str(d.id), uid: d.uid, type2: kui.str(d.type2) },
            server: { netIP: { ip: s.ip }, netPort: { portKM: s.portKM, portV: s.portV } }
        };
        busyCall(btn, 'qt', params).then(function (reply) {
            var q = {};
            try { q = JSON.parse(reply.qt) || {}; } catch (e) { q = {}; }
            var $t = kui.el('table', { cls: 'kv-params' });
            $.each(q, function (k, v) {
                $t.append(kui.el('tr', {}, [kui.el('th', { text: T('qt_' + k) !== 'qt_' + k ? T('qt_' + k) : k }), kui.el('td', { text: kui.str(v) })]));
            });
            var $raw = kui.el('textarea', { cls: 'kv-raw', rows: 3, readonly: 'readonly', 'aria-label': T('kvmSession') }).val($.trim(kui.str(reply.qt)));
            kui.dialog({
                title: Tf('kvmTitle', d.nm), width: 520,
                content: kui.el('div', {}, [kui.el('div', { cls: 'kv-note', text: T('kvmNote') }), $t, $raw]),
                buttons: [{ text: T('close'), kind: 'primary', click: function (dlg) { dlg.close(); } }]
            });
        });
    }

    function serial(d, action, btn) {
        if (!d) return;
        busyCall(btn, 'operaSerial', { serialPara: { dogID: kui.str(d.id), action: action } }).then(function () {
            notify(action === 'cap' ? Tf('serialCaptured', d.nm) : Tf('serialReleased', d.nm));
        });
    }

    function clearSlot(s, btn) {
        if (!s) return;
        kui.confirm(Tf('clearSlotConfirm', s.id, s.nm), function () {
            busyCall(btn, 'unsetDogInfo', { dogInfoPara: { id: kui.str(s.id) } }).then(function () { notify(Tf('slotCleared', s.id)); });
        }, T('clearSlot'));
    }

    // ---------------------------------------------------------------- users

    function groupOptions() {
        return $.map(kui.list(snap.privs), function (p) { return [[p.id, p.nm]]; });
    }

    function lowestGroupId() {
        var best = null;
        $.each(kui.list(snap.privs), function (i, p) {
            if (!best || (parseInt(p.level, 10) || 0) < (parseInt(best.level, 10) || 0)) best = p;
        });
        return best ? best.id : undefined;
    }

    function groupById(id) {
        var g = null;
        $.each(kui.list(snap.privs), function (i, p) { if (p.id === id) g = p; });
        return g;
    }

    function buildUsers($p) {
        var btnAdd = kui.button({ text: T('add'), kind: 'primary', name: 'user-add', click: function () { editUser(null); } });
        var btnEdit = kui.button({ text: T('edit'), name: 'user-edit', click: function () { editUser(grid.selected()); } });
        var btnDel = kui.button({ text: T('delete'), kind: 'danger', name: 'user-del', click: function () { deleteUser(grid.selected(), btnDel); } });
        var btnUnlock = kui.button({ text: T('unlock'), name: 'user-unlock', click: function () { unlockUser(grid.selected(), btnUnlock); } });
        var $grid = kui.el('div', { cls: 'kv-grid-users' });
        var grid = $grid.kuiGrid({
            label: T('tab_users'),
            rowId: function (u) { return u.id; },
            emptyText: T('noUsers'),
            columns: [
                { name: 'nm', display: T('userName'), render: function (u) {
                    if (u.locked !== '1') return kui.str(u.nm);
                    return kui.el('span', {}, [document.createTextNode(kui.str(u.nm) + ' '),
                        kui.el('span', { cls: 'kv-locked', text: '\uD83D\uDD12', title: T('locked'), 'aria-label': T('locked') })]);
                } },
                { name: 'privNM', display: T('group') },
                { name: 'status', display: T('state'), render: function (u) { return tableName('userStatus', u.status, 2); } },
                { name: 'prior', display: T('priority'), render: function (u) { return tableName('prior', u.prior, 3); } },
                { name: 'dogDB', display: T('rights'), render: function (u) { return rightsSummary(u.dogDB); } },
                { name: 'loginTime', display: T('lastLogin') },
                { name: 'loginTime2', display: T('prevLogin') },
                { name: 'createTime', display: T('created') },
                { name: 'memo', display: T('memo') }
            ]
        });
        grid.on('dblclick', editUser);
        grid.on('activate', editUser);
        grid.on('delete', function () { if (!btnDel.$el.prop('disabled')) btnDel.$el.click(); });
        function updateButtons() {
            var u = grid.selected();
            var me = snap && snap.curUser;
            btnEdit.enable(!!u);
            btnDel.enable(!!u && !!me && u.id !== me.id);
            btnUnlock.enable(!!u && u.locked === '1');
        }
        grid.on('select', updateButtons);
        $p.append(section(T('tab_users'), [toolbar([btnAdd, btnEdit, btnDel, btnUnlock]), $grid]));
        views.users = function () { grid.setData(snap.users); updateButtons(); };
    }

    function editUser(u) {
        var isNew = !u;
        // A new user starts in the group of the lowest level, with no rights
        // on any console: the administrator grants what is needed.
        var src = u || { nm: '', memo: '', pid: lowestGroupId(), code: '0', frame: '3', media: '0', dogDB: '',
                         prior: '0', nm2: '', addrH: '', addrC: '', phone: '', email: '', memo2: '' };
        var $form = kui.el('form', { cls: 'kv-form kv-form-wide', autocomplete: 'off' });
        var $group = select('pid', groupOptions(), src.pid);
        var rights = rightsEditor(src.dogDB);
        var $rightsBox = kui.el('div', { cls: 'kv-rights-box' }, [rights.$el]);
        // A new user starts with the rights of the group chosen for it.
        if (isNew) {
            $group.on('change', function () {
                rights = rightsEditor((groupById($group.val()) || {}).dogDB || '');
                $rightsBox.empty().append(rights.$el);
            });
        }
        var $left = kui.el('div', { cls: 'kv-col' });
        var $right = kui.el('div', { cls: 'kv-col' });
        $left.append(
            row(T('userName'), input('nm', src.nm, { maxlength: 32 })),
            row(T('group'), $group),
            row(T('memo'), input('memo', src.memo))
        );
        var checkPw;
        var setPw = null, $oldPw = null;
        if (isNew) {
            checkPw = passwordFields($left, true);
        } else {
            setPw = kui.checkBox({ label: T('setPassword'), name: 'setPW' });
            var $pwBox = kui.el('div').hide();
            // Changing one's own password needs the current one.
            $oldPw = u.id === kui.str(snap.curUser && snap.curUser.id) ? input('oldPw', '', { type: 'password', autocomplete: 'current-password' }) : null;
            if ($oldPw) $pwBox.append(row(T('oldPassword'), $oldPw));
            checkPw = passwordFields($pwBox, true);
            setPw.on('change', function (on) { $pwBox.toggle(on); });
            $left.append(kui.el('div', { cls: 'kv-row' }, [kui.el('label', { cls: 'kv-label' }), kui.el('div', { cls: 'kv-field' }, [setPw.$el])]), $pwBox);
        }
        $left.append(
            row(T('stream'), select('code', [['0', T('stream0')], ['1', T('stream1')], ['2', T('stream2')]], src.code)),
            row(T('userFrame'), select('frame', $.map(['15', '20', '25', '30', '35'], function (v, i) { return [[String(i), v]]; }), src.frame)),
            row(T('media'), select('media', [['0', T('media0')], ['1', T('media1')], ['2', T('media2')]], src.media)),
            row(T('priority'), select('prior', [['0', T('prior0')], ['1', T('prior1')], ['2', T('prior2')]], src.prior))
        );
        $right.append(
            row(T('nm2'), input('nm2', src.nm2)),
            row(T('addrH'), input('addrH', src.addrH)),
            row(T('addrC'), input('addrC', src.addrC)),
            row(T('phone'), input('phone', src.phone)),
            row(T('email'), input('email', src.email)),
            row(T('memo2'), input('memo2', src.memo2)),
            kui.el('div', { cls: 'kv-subtitle', text: T('consoleRights') }),
            $rightsBox
        );
        $form.append(kui.el('div', { cls: 'kv-cols' }, [$left, $right]));
        kui.dialog({
            title: isNew ? T('addUser') : Tf('editUserTitle', u.nm), content: $form, width: 820, buttons: [
                { text: T('save'), kind: 'primary', name: 'save', click: function (dlg) {
                    var nm = field($form, 'nm');
                    if (!nm) return formError($form, T('nameEmpty'));
                    var wantPw = isNew || (setPw && setPw.checked());
                    if (wantPw && $oldPw && !$oldPw.val()) return formError($form, T('oldPwEmpty'));
                    if (wantPw && !checkPw()) return false;
                    var pw = $form.find('[name=pw]').val();
                    var g = groupById($group.val()) || {};
                    var para = {
                        nm: nm, memo: field($form, 'memo'), pid: $group.val(), pidCN: g.nm || '', dogDB: rights.value(),
                        code: $form.find('[name=code]').val(), frame: $form.find('[name=frame]').val(),
                        media: $form.find('[name=media]').val(), prior: $form.find('[name=prior]').val(),
                        nm2: field($form, 'nm2'), addrH: field($form, 'addrH'), addrC: field($form, 'addrC'),
                        phone: field($form, 'phone'), email: field($form, 'email'), memo2: field($form, 'memo2')
                    };
                    if (isNew) {
                        para.pw = pw;
                        para.pwdDepth = passwordDepth(pw);
                        dialogCall(dlg, 'insUser', { userPara: para }, null, Tf('userAdded', nm));
                    } else {
                        para = userParaFrom(u, para);
                        if (wantPw) { para.setPW = 'yes'; para.pw = pw; para.pwdDepth = passwordDepth(pw); }
                        if (wantPw && $oldPw) para.oldPw = $oldPw.val();
                        dialogCall(dlg, 'updUser', { userPara: para }, null, Tf('userSaved', nm));
                    }
                } },
                { text: T('cancel'), click: function (dlg) { dlg.close(); } }
            ]
        });
    }

    // Lifts the lock that failed logins put on a user's name.
    function unlockUser(u, btn) {
        if (!u || u.locked !== '1') return;
        kui.confirm(Tf('unlockUserConfirm', u.nm), function () {
            busyCall(btn, 'unlockUser', { userNM: kui.str(u.nm) }).then(function () {
                notify(Tf('userUnlocked', u.nm));
            });
        }, T('unlock'));
    }

    function deleteUser(u, btn) {
        if (!u) return;
        kui.confirm(Tf('deleteUserConfirm', u.nm), function () {
            busyCall(btn, 'delUser', { userPara: userParaFrom(u) }).then(function () { notify(Tf('userDeleted', u.nm)); });
        }, T('delete'));
    }

    // ---------------------------------------------------------------- groups

    function buildGroups($p) {
        var btnEdit = kui.button({ text: T('edit'), kind: 'primary', name: 'group-edit', click: function () { editGroup(grid.selected()); } });
        var $grid = kui.el('div', { cls: 'kv-grid-groups' });
        var grid = $grid.kuiGrid({
            label: T('tab_groups'),
            rowId: function (g) { return g.id; },
            emptyText: T('noGroups'),
            columns: [
                { name: 'nm', display: T('name') },
                { name: 'level', display: T('level'), render: function (g) { return tableName('level', g.level, 4); } },
                { name: 'type', display: T('groupType'), render: function (g) { return tableName('groupType', g.type, 3); } },
                { name: 'dogDB', display: T('rights'), render: function (g) { return rightsSummary(g.dogDB); } }
            ]
        });
        grid.on('dblclick', editGroup);
        grid.on('activate', editGroup);
        grid.on('select', function (g) { btnEdit.enable(!!g); });
        $p.append(section(T('tab_groups'), [kui.el('div', { cls: 'kv-note', text: T('groupsNote') }), toolbar([btnEdit]), $grid]));
        views.groups = function () { grid.setData(snap.privs); btnEdit.enable(!!grid.selected()); };
    }

    function editGroup(g) {
        if (!g) return;
        var $form = kui.el('form', { cls: 'kv-form' });
        var rights = rightsEditor(g.dogDB);
        $form.append(
            row(T('name'), input('nm', g.nm, { maxlength: 32 })),
            kui.el('div', { cls: 'kv-subtitle', text: T('consoleRights') }),
            rights.$el,
            kui.el('div', { cls: 'kv-note', text: T('groupRightsNote') })
        );
        kui.dialog({
            title: Tf('editGroupTitle', g.nm), content: $form, width: 460, buttons: [
                { text: T('save'), kind: 'primary', name: 'save', click: function (dlg) {
                    var nm = field($form, 'nm');
                    if (!nm) return formError($form, T('nameEmpty'));
                    var policy = snap.curUser && snap.curUser.secureConf;
                    var save = function () {
                        dialogCall(dlg, 'updPriv', { priv: {
                            id: g.id, nm: nm, dogDB: rights.value(),
                            f_pwd: policy ? JSON.stringify(policy) : ''
                        } }, null, Tf('groupSaved', nm));
                    };
                    // Saving overwrites the rights of every user of the group: say how many.
                    var members = $.grep(kui.list(snap.users), function (u) { return u.pid === g.id; }).length;
                    if (members) kui.confirm(Tf('groupSaveConfirm', members, g.nm), save, Tf('editGroupTitle', g.nm));
                    else save();
                } },
                { text: T('cancel'), click: function (dlg) { dlg.close(); } }
            ]
        });
    }

    // ---------------------------------------------------------------- network

    // Editor of an address list (server IP list, access list): list box,
    // address field, add / replace / delete. send(action, newIP, oldIP).
    function ipListEditor(name, send, listLabel) {
        var $list = kui.el('div', { cls: 'kv-iplist', 'data-name': name });
        var lb = $list.kuiListBox({ emptyText: T('listEmpty'), label: listLabel });
        var $ip = input('newIP', '', { maxlength: 15, placeholder: '192.168.1.10', 'data-name': name + '-ip',
            'aria-label': T('newAddress') });
        var $err = kui.el('div', { cls: 'kv-form-error', role: 'alert' }).hide();
        lb.on('select', function (text) { $ip.val(text); $err.hide(); });
        $ip.on('input', function () { $err.hide(); });
        function checked() {
            var ip = $.trim($ip.val());
            if (!isIPv4(ip)) { $err.text(T('ipInvalid')).show(); return null; }
            $err.hide();
            return ip;
        }
        var add = kui.button({ text: T('add'), kind: 'primary', name: name + '-add', click: function () {
            var ip = checked();
            if (ip) send(add, 'insIP', ip, '').then(function () { $ip.val(''); notify(Tf('entryAdded', ip)); });
        } });
        var upd = kui.button({ text: T('replace'), name: name + '-upd', click: function () {
            var old = lb.selected();
            if (old === null) { $err.text(T('selectEntry')).show(); return; }
            var ip = checked();
            if (ip) send(upd, 'updIP', ip, old).then(function () { notify(Tf('entryReplaced', ip)); });
        } });
        var del = kui.button({ text: T('delete'), kind: 'danger', name: name + '-del', click: function () {
            var old = lb.selected();
            if (old === null) { $err.text(T('selectEntry')).show(); return; }
            $err.hide();
            kui.confirm(Tf('deleteEntryConfirm', old), function () {
                send(del, 'delIP', '', old).then(function () { $ip.val(''); notify(Tf('entryDeleted', old)); });
            }, T('delete'));
        } });
        var $el = kui.el('div', { cls: 'kv-iplist-editor' }, [
            $list,
            kui.el('div', { cls: 'kv-iplist-side' }, [$ip, $err, toolbar([add, upd, del])])
        ]);
        return { $el: $el, setItems: function (items) { lb.setItems(items); } };
    }

    function buildNetwork($p) {
        var $form = kui.el('form', { cls: 'kv-form', 'data-name': 'server' }).on('submit', function (e) { e.preventDefault(); });
        $form.append(
            row(T('deviceId'), input('uid', '')),
            row(T('deviceName'), input('nm', '')),
            row(T('encrypt'), select('encrypt', [['0', T('logw_des')], ['1', T('logw_3des')], ['2', T('logw_aes')]], '0')),
            row(T('ip'), input('ip', '', { maxlength: 15 })),
            row(T('subnetMask'), input('subnetMask', '', { maxlength: 15 })),
            row(T('gateway'), input('gateway', '', { maxlength: 15 })),
            row(T('portKM'), input('portKM', '', { maxlength: 5 })),
            row(T('portV'), input('portV', '', { maxlength: 5 })),
            row(T('portWeb'), input('portWeb', '', { maxlength: 5 })),
            row(T('ntpServer'), kui.el('span', { cls: 'kv-static', 'data-name': 'ntpServer' })),
            row(T('snmpServer'), kui.el('span', { cls: 'kv-static', 'data-name': 'snmpServer' }))
        );
        var save = kui.button({ text: T('save'), kind: 'primary', name: 'server-save', click: saveServer });
        var reset = kui.button({ text: T('reset'), name: 'server-reset', click: function () { fill(); formError($form, ''); } });
        var servers = ipListEditor('serverips', function (btn, action, newIP, oldIP) {
            return busyCall(btn, 'modifyServerIPS', { serveripsPara: { action: action, newIP: newIP, oldIP: oldIP } });
        }, T('serverIPList'));
        $p.append(
            section(T('serverSettings'), [kui.el('div', { cls: 'kv-note', text: T('serverNote') }), $form, toolbar([save, reset])]),
            section(T('serverIPList'), [servers.$el])
        );
        function fill() {
            var s = snap.server || {};
            $.each(['uid', 'nm', 'encrypt', 'ip', 'subnetMask', 'gateway', 'portKM', 'portV', 'portWeb'], function (i, k) {
                $form.find('[name=' + k + ']').val(kui.str(s[k]));
            });
            $form.find('[data-name=ntpServer]').text(kui.str(s.ntpServer) || '--');
            $form.find('[data-name=snmpServer]').text(kui.str(s.snmpServer) || '--');
        }
        function saveServer() {
            var v = {};
            $.each(['uid', 'nm', 'encrypt', 'ip', 'subnetMask', 'gateway', 'portKM', 'portV', 'portWeb'], function (i, k) { v[k] = field($form, k); });
            var bad = null;
            $.each(['ip', 'subnetMask', 'gateway'], function (i, k) { if (!bad && !isIPv4(v[k])) bad = Tf('fieldInvalid', T(k)); });
            $.each(['portKM', 'portV', 'portWeb'], function (i, k) { if (!bad && !isPort(v[k])) bad = Tf('fieldInvalid', T(k)); });
            if (bad) return formError($form, bad);
            formError($form, '');
            var s = snap.server || {};
            var restart = false;
            $.each(['ip', 'subnetMask', 'gateway', 'portKM', 'portV', 'portWeb'], function (i, k) { if (v[k] !== kui.str(s[k])) restart = true; });
            var send = function () {
                busyCall(save, 'updServer', { server: v }).then(function () { notify(T('saved')); });
            };
            if (restart) kui.confirm(T('serverRestartConfirm'), send, T('serverSettings'));
            else send();
        }
        views.network = function () {
            fill();
            servers.setItems($.map(kui.list(snap.serverips && snap.serverips.serverips), function (e) { return kui.str(e.ip); }));
        };
    }

    // ---------------------------------------------------------------- security

    function buildSecurity($p) {
        var $mode = select('ipsType', [['2', T('listOff')], ['0', T('blacklist')], ['1', T('whitelist')]], '2');
        var applyMode = kui.button({ text: T('apply'), kind: 'primary', name: 'ips-type', click: function () {
            var type = $mode.val();
            var go = function () {
                busyCall(applyMode, 'modifyIPS', { ipsPara: { action: 'updType', type: type } }).then(function () { notify(T('listModeSaved')); });
            };
            if (type === '1') kui.confirm(T('whitelistConfirm'), go, T('accessList')); else go();
        } });
        var ips = ipListEditor('ips', function (btn, action, newIP, oldIP) {
            return busyCall(btn, 'modifyIPS', { ipsPara: { action: action, newIP: newIP, oldIP: oldIP } });
        }, T('accessList'));
        var $policy = kui.el('div', { cls: 'kv-policy' });
        $p.append(
            section(T('accessList'), [
                kui.el('div', { cls: 'kv-note', text: T('accessListNote') }),
                kui.el('div', { cls: 'kv-inline' }, [labelFor(T('listMode'), $mode), $mode, applyMode.$el]),
                ips.$el
            ]),
            section(T('passwordPolicy'), [$policy])
        );
        views.security = function () {
            var t = snap.ips ? kui.str(snap.ips.type) : '';
            $mode.val(t === '0' || t === '1' ? t : '2');
            ips.setItems($.map(kui.list(snap.ips && snap.ips.ips), function (e) { return kui.str(e.ip); }));
            var pol = (snap.curUser && snap.curUser.secureConf) || {};
            var tries = parseInt(pol.pwdTry, 10) || 0, days = parseInt(pol.pwdExpire, 10) || 0;
            $policy.empty().append(
                row(T('pwdTry'), kui.el('span', { cls: 'kv-static', text: tries > 0 ? Tf('pwdTryValue', tries) : T('never') })),
                row(T('pwdExpire'), kui.el('span', { cls: 'kv-static', text: days > 0 ? Tf('pwdExpireValue', days) : T('never') }))
            );
        };
    }

    // ---------------------------------------------------------------- log

    // Entries of a log record's detail text: [{nm, v1, v2?}], or [] when the
    // text is no list.
    function logEntries(sth) {
        try {
            var v = JSON.parse(kui.str(sth));
            return $.isArray(v) ? v : [];
        } catch (e) { return []; }
    }

    // A logged value; address lists are written with "<br>" between entries.
    function logValue(text) {
        var parts = $.grep($.map(kui.str(text).split('<br>'), $.trim), function (s) { return s !== ''; });
        var $v = kui.el('span', { cls: 'kv-log-value' });
        if (kui.str(text).indexOf('<br>') < 0) return $v.text(kui.str(text));
        $.each(parts, function (i, p) { if (i) $v.append(kui.el('br')); $v.append(document.createTextNode(p)); });
        return $v;
    }

    // A word of the program's log (field label or value) in the current
    // language; null when the word is none of the known ones.
    function logWord(word) {
        var key = 'logw_' + kui.str(word);
        return T(key) !== key ? T(key) : null;
    }

    function logDetails(rec) {
        var entries = logEntries(rec.sth);
        if (!entries.length) return kui.el('span', { cls: 'kv-muted', text: '--' });
        var $t = kui.el('table', { cls: 'kv-log-details' });
        $.each(entries, function (i, e) {
            var both = e.v2 !== undefined;
            var changed = both && $.trim(kui.str(e.v1)) !== $.trim(kui.str(e.v2));
            var label = logWord(e.nm);
            // Rights entries are labelled with the console's name; their
            // values, and those of the kind and share mode, are words too.
            var worded = label === null || e.nm === 'type' || e.nm === 'shareMode' || e.nm === 'reason';
            var value = function (v) { return logValue(worded && logWord(v) !== null ? logWord(v) : v); };
            var $tr = kui.el('tr', { cls: changed ? 'kv-changed' : '' }, [
                kui.el('th', { text: label === null ? kui.str(e.nm) : label }),
                kui.el('td', {}, [value(e.v1)])
            ]);
            if (both) $tr.append(kui.el('td', { cls: 'kv-arrow', text: '\u2192' }), kui.el('td', {}, [value(e.v2)]));
            $t.append($tr);
        });
        // In a box the browser may skip while it is off screen (my.css).
        return kui.el('div', { cls: 'kv-log-box' }, [$t]);
    }

    // Records come a page at a time, newest first: the log may hold 100,000.
    var LOG_PAGE = 200;

    // Downloads the matching records as CSV: a POST form (the session never
    // goes into a URL); a refusal comes back as text and is shown.
    function exportLog(condition, btn) {
        var fd = sessionFields(new FormData());
        fd.append('submitExportLog', '1');
        fd.append('logCondition', JSON.stringify(condition));
        btn.enable(false);
        transfer(fd, 'blob').then(function (xhr) {
            var type = kui.str(xhr.getResponseHeader('Content-Type'));
            if (xhr.status === 200 && type.indexOf('text/csv') === 0) {
                var url = URL.createObjectURL(xhr.response);
                var a = kui.el('a', { href: url, download: 'korvan-log.csv' }).appendTo(document.body);
                a[0].click();
                a.remove();
                window.setTimeout(function () { URL.revokeObjectURL(url); }, 10000);
                return;
            }
            xhr.response.text().then(function (text) {
                text = $.trim(text);
                if (text === SESSION_GONE) { sessionEnded(); return; }
                kui.alert(serverText(text) || T('unknownFailure'), 'error', T('export'));
            });
        }, function () { kui.alert(T('unknownFailure'), 'error', T('export')); })
            .always(function () { btn.enable(true); });
    }

    function buildLog($p) {
        var cal = $.datepicker ? $.datepicker.regional[lang === 'zh' ? 'zh-CN' : (lang === 'en' ? '' : lang)] : null;
        var $user = input('logUser', '', { placeholder: T('anyUser') });
        var $from = kui.el('span');
        var $to = kui.el('span');
        var from = $from.kuiDateEditor({ calendar: cal, id: kui.uid('f') });
        var to = $to.kuiDateEditor({ calendar: cal, id: kui.uid('f') });
        var $type = select('logType', [['all', T('logAll')], ['access', T('log_access')], ['system', T('log_system')],
            ['server', T('log_server')], ['dog', T('log_dog')], ['priv', T('log_priv')], ['user', T('log_user')],
            ['ips', T('log_ips')]], 'all');
        var $count = kui.el('span', { cls: 'kv-count', 'aria-live': 'polite' });
        // A submit button: a click or Enter in any filter field submits the form.
        var search = kui.button({ text: T('search'), kind: 'primary', name: 'log-search' });
        search.$el.attr('type', 'submit');
        var older = kui.button({ text: T('olderRecords'), name: 'log-older', click: function () { load(true); } });
        var exportBtn = kui.button({ text: T('export'), name: 'log-export', click: function () {
            if (condition()) exportLog(condition(), exportBtn);
        } });
        older.$el.hide();
        var rows = [], more = false, busy = false, loaded = false, searchAgain = false;
        // The filters as a query condition; null (and a warning) when a date is not valid.
        var condition = function () {
            if (!from.valid() || !to.valid()) { kui.alert(T('dateInvalid'), 'warning', T('kindWarning')); return null; }
            return { user: $.trim($user.val()), timeBegin: from.value(), timeEnd: to.value(), type: $type.val() };
        };
        var shown;  // the condition of the rows shown, for the next page
        // A new search (first page), or the next older page of the same one.
        var load = function (next) {
            // A search asked for while a page loads runs once that is done.
            if (busy) { if (!next) searchAgain = true; return; }
            if (next && !more) return;
            var c = next ? shown : condition();
            if (!c) return;
            var ask = $.extend({ limit: String(LOG_PAGE) }, c);
            if (next && rows.length) ask.before = kui.str(rows[rows.length - 1].id);
            busy = true;
            // The search button stays enabled: a disabled default button
            // would swallow the Enter of a new search typed meanwhile, which
            // runs once this page is in (searchAgain).
            search.$el.attr('aria-busy', 'true');
            older.enable(false);
            call('selLog', { logCondition: ask }).then(function (reply) {
                shown = c;
                rows = next ? rows.concat(kui.list(reply.log)) : kui.list(reply.log);
                more = reply.more === true;
                grid.setData(rows);
                $count.text(more ? Tf('logCountMore', rows.length) : rows.length === 1 ? T('logCountOne') : Tf('logCount', rows.length));
                older.$el.toggle(more);
                loaded = true;
            }).always(function () {
                busy = false;
                search.$el.removeAttr('aria-busy');
                older.enable(true);
                if (searchAgain) { searchAgain = false; load(false); }
            });
        };
        var $grid = kui.el('div', { cls: 'kv-grid-log' });
        var grid = $grid.kuiGrid({
            label: T('tab_log'),
            emptyText: T('logEmpty'),
            columns: [
                { name: 'time', display: T('time'), width: 140 },
                { name: 'user', display: T('user'), width: 90 },
                { name: 'ip', display: T('clientIP'), width: 100 },
                { name: 'typeSubCN', display: T('operation'), width: 130, render: function (r) {
                    var k = 'op_' + kui.str(r.typeSub);
                    return T(k) !== k ? T(k) : kui.str(r.typeSubCN);
                } },
                { display: T('details'), render: logDetails }
            ]
        });
        $p.append(section(T('tab_log'), [
            kui.el('form', { cls: 'kv-filters' }, [
                labelFor(T('user'), $user), $user,
                labelFor(T('from'), $from.find('.kui-date-day')), $from,
                labelFor(T('to'), $to.find('.kui-date-day')), $to,
                labelFor(T('area'), $type), $type,
                search.$el, exportBtn.$el, $count
            ]).on('submit', function (e) { e.preventDefault(); load(false); }),
            $grid,
            kui.el('div', { cls: 'kv-log-more' }, [older.$el])
        ]));
        // The newest records are there when the tab is first opened.
        tabs.on('select', function (id) { if (id === 'log' && !loaded) load(false); });
        if (tabs.selected && tabs.selected() === 'log') load(false);
    }

    // ---------------------------------------------------------------- system

    // Sends a file transfer form; the program answers with plain text.
    function transfer(formData, responseType) {
        var d = $.Deferred();
        var xhr = new XMLHttpRequest();
        xhr.open('POST', CGI_URL);
        if (responseType) xhr.responseType = responseType;
        xhr.onload = function () { d.resolve(xhr); };
        xhr.onerror = function () { d.reject(xhr); };
        xhr.send(formData);
        return d.promise();
    }

    function sessionFields(fd) {
        var s = session.get() || {};
        fd.append('userID', kui.str(s.userID));
        fd.append('token', kui.str(s.token));
        return fd;
    }

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
            }, T(titleKey));
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

    function buildSystem($p) {
        var cal = $.datepicker ? $.datepicker.regional[lang === 'zh' ? 'zh-CN' : (lang === 'en' ? '' : lang)] : null;
        var $clock = kui.el('span');
        var clock = $clock.kuiDateEditor({ withTime: true, calendar: cal, label: T('date'),
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

        var $lang = select('language', languageOptions(), lang).attr('aria-label', T('language'));
        var saveLang = kui.button({ text: T('save'), kind: 'primary', name: 'lang-save', click: function () {
            var code = $lang.val();
            busyCall(saveLang, 'saveLanguage', { language: code }).then(function () {
                lang = pickLanguage(code);
                applyLanguage();
                showApp();
                tabs.select('system');
                notify(T('languageSaved'));
            });
        } });

        var restart = kui.button({ text: T('restart'), kind: 'danger', name: 'restart', click: function () {
            kui.confirm(T('restartConfirm'), function () {
                busyCall(restart, 'restart', {}).then(function () { kui.alert(T('restarting'), 'info', T('restart')); });
            }, T('restart'));
        } });

        var download = kui.button({ text: T('downloadDB'), name: 'db-download', click: function () { downloadDatabase(download); } });

        var convert = kui.button({ text: T('convertClient'), kind: 'danger', name: 'client-mode', click: function () {
            kui.confirm(T('convertConfirm'), function () {
                busyCall(convert, 'convertToClientMode', {}).then(function () { notify(T('converted')); });
            }, T('deviceMode'));
        } });
        var $modeSection = section(T('deviceMode'), [kui.el('div', { cls: 'kv-note', text: T('convertNote') }), toolbar([convert])]);

        $p.append(section(T('clock'), [
            kui.el('div', { cls: 'kv-note', text: T('clockNote') }),
            kui.el('div', { cls: 'kv-inline' }, [$clock, useLocal.$el, setTime.$el])
        ]));
        views.clockTick = function () {
            if (!clockEdited) clock.setValue(kui.formatDateTime(new Date(Date.now() + clockOffset)));
        };
        views.system = function () { views.clockTick(); };
        // The rest of the tab is super administrators' work.
        if (myLevel() < 3) return;
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
        views.system = function () {
            views.clockTick();
            $modeSection.toggle(isFactory());
        };
    }

    // ---------------------------------------------------------------- start

    $(function () {
        $login = $('#kv-login');
        $app = $('#kv-app');
        if (!$login.length) $login = kui.el('div', { id: 'kv-login' }).appendTo('body');
        if (!$app.length) $app = kui.el('div', { id: 'kv-app' }).appendTo('body');
        $('#kv-loading').remove();
        applyLanguage();
        // A page reload keeps the session of this browser tab.
        if (session.get()) {
            $login.hide();
            call('ref', {}, { quiet: true }).then(function () { showApp(); }, function (reply) {
                if (reply.retMsg === SESSION_GONE) sessionEnded();
                else { session.clear(); showLogin(serverText(reply.retMsg), 'error'); }
            });
        } else {
            showLogin();
        }
    });

    // For the smoke check and for debugging from the console.
    window.kvApp = {
        call: call, snapshot: function () { return snap; }, language: function () { return lang; },
        passwordDepth: passwordDepth, isIPv4: isIPv4, moduleKind: moduleKind, logEntries: logEntries
    };
})(window, jQuery);
