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
 *
 * This file is the core: texts, session, program calls, form helpers, login
 * and the application frame. Each tab is a view module under views/, listed
 * in the view table (VIEWS below) and loaded with import() before the first
 * screen is shown; the core publishes what views use as window.kvCore.
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;

    // ---------------------------------------------------------------- texts

    var LANGS = window.kuiLanguages || {};
    // The language a person chose (at login or as the switch's language)
    // stays for this browser across reloads; otherwise the saved one.
    var LANG_KEY = 'kvm.lang';
    var lang = pickLanguage(storedLanguage() || window.siteLang);

    function storedLanguage() {
        try { return window.localStorage.getItem(LANG_KEY); } catch (e) { return null; }
    }

    function keepLanguage(code) {
        try { window.localStorage.setItem(LANG_KEY, code); } catch (e) { /* private mode: not kept */ }
    }

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

    // A reason the program put together from its own phrases and the system's
    // texts, parts joined by ": " ("connect failed: Connection refused"): the
    // catalogue's sentence for the whole when it has one, else each part in
    // the current language, by the view's text prefix + part or the list of
    // system texts (lib/language.js); parts known to neither stay as sent.
    function reasonText(text, prefix) {
        text = $.trim(kui.str(text));
        var whole = window.kuiMessage ? window.kuiMessage(lang, text) : null;
        if (whole !== null) return whole;
        var words = (window.kuiSystemWords || {})[lang] || {};
        return $.map(text.split(': '), function (part) {
            var key = (prefix || '') + part;
            if (prefix && T(key) !== key) return T(key);
            return Object.prototype.hasOwnProperty.call(words, part) ? words[part] : part;
        }).join(': ');
    }

    // ---------------------------------------------------------------- value tables

    var SESSION_GONE = 'curUser has loginned or idle timeout';
    var PASSWORD_FIRST = 'password change required';
    // Refusal while an administrator still has to set up the second factor.
    var ENROL_FIRST = 'second factor enrolment required';
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
        // A person's request: the last result's message goes, and a reply
        // that takes a while is announced as work in progress.
        var working = null;
        if (!opts.quiet) {
            clearStatus();
            working = window.setTimeout(function () { showStatus(T('working'), 'kv-status-busy'); }, WORKING_AFTER_MS);
            done.always(function () {
                window.clearTimeout(working);
                $('#kv-status.kv-status-busy').removeClass('kv-status-busy kv-status-on').text('');
            });
        }
        // Every request keeps the session alive on the switch, except the
        // background ones (opts.noSnapshot: the health poll), which the
        // switch does not count either.
        if (!opts.noSnapshot && type !== 'logout') noteActivity();
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
                    // A background call (opts.noSnapshot) leaves the shown configuration alone.
                    if (!opts.noSnapshot) applySnapshot(reply);
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
        if (reply.retMsg === ENROL_FIRST) {
            requireEnrolment();
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
    var WORKING_AFTER_MS = 300;
    function showStatus(text, cls) {
        var $s = $('#kv-status');
        if (!$s.length) return;
        window.clearTimeout(statusTimer);
        $s.removeClass('kv-status-busy').addClass(cls || '').text(text).addClass('kv-status-on');
    }
    function clearStatus() {
        window.clearTimeout(statusTimer);
        $('#kv-status').removeClass('kv-status-on kv-status-busy').text('');
    }
    function notify(text) {
        showStatus(text);
        statusTimer = window.setTimeout(clearStatus, 6000);
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

    // The policy's minimum length as the switch reads it: whole digits, at
    // least 1, 8 when absent or not a number.
    function passwordMinimum(value) {
        var text = kui.str(value);
        if (!/^[0-9]+$/.test(text)) return 8;
        return Math.max(parseInt(text, 10), 1);
    }

    function passwordFields($form, required) {
        var $pw = input('pw', '', { type: 'password', autocomplete: 'new-password' });
        var $pw2 = input('pw2', '', { type: 'password', autocomplete: 'new-password' });
        var $meter = kui.el('div', { cls: 'kv-hint' });
        // The rule the switch applies to every new password.
        var policy = (snap && snap.curUser && snap.curUser.secureConf) || {};
        var $rule = kui.el('div', { cls: 'kv-hint', text: Tf('pwRule', passwordMinimum(policy.pwdMin)) });
        $pw.on('input', function () {
            var v = $pw.val();
            $meter.text(v ? Tf('pwStrength', passwordDepth(v)) : '');
        });
        $form.append(row(T('password'), $pw), $rule, row(T('passwordAgain'), $pw2), $meter);
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

    // ---------------------------------------------------------------- idle warning

    // The switch ends a session after curUser.interval seconds without a
    // request. A minute before, the person is warned and may stay; at the end
    // the page goes back to the login by itself, keeping an open form. No
    // request is sent for that: it would keep the session alive.
    var WARN_BEFORE_S = 60;
    var idle = { last: 0, timer: null, dlg: null, countdown: null };

    function idleSeconds() { return parseInt(snap && snap.curUser && snap.curUser.interval, 10) || 600; }

    function noteActivity() {
        idle.last = Date.now();
        if (idle.dlg) { idle.dlg.close(); }
        scheduleIdle();
    }

    function stopIdle() {
        window.clearTimeout(idle.timer);
        window.clearInterval(idle.countdown);
        idle.timer = idle.countdown = null;
    }

    function scheduleIdle() {
        stopIdle();
        if (!session.get()) return;
        var warnAt = idle.last + Math.max(idleSeconds() - WARN_BEFORE_S, 1) * 1000;
        idle.timer = window.setTimeout(idleWarning, Math.max(warnAt - Date.now(), 0));
    }

    function idleWarning() {
        if (idle.dlg || !session.get()) return;
        var endAt = idle.last + idleSeconds() * 1000;
        var $text = kui.el('div', { cls: 'kui-message-text' });
        var tick = function () {
            var left = Math.max(Math.round((endAt - Date.now()) / 1000), 0);
            $text.text(Tf('idleWarning', left));
            if (left <= 0) { stopIdle(); sessionEnded(); }
        };
        idle.dlg = kui.dialog({
            title: T('idleTitle'), alert: true, width: 420, focusButton: 'stay',
            content: kui.el('div', { cls: 'kui-message kui-message-warning' }, [kui.el('span', { cls: 'kui-message-icon' }), $text]),
            buttons: [
                { text: T('stayLoggedIn'), kind: 'primary', name: 'stay', click: function (dlg) {
                    dlg.busy(true);
                    call('ref').always(function () { dlg.busy(false); dlg.close(); });
                } },
                { text: T('logout'), name: 'idle-logout', click: function (dlg) { dlg.close(); logout(); } }
            ]
        });
        var since = idle.last;
        idle.dlg.on('close', function () {
            idle.dlg = null;
            window.clearInterval(idle.countdown);
            // Closed without staying: the session still ends when it ends.
            if (idle.last === since && session.get()) {
                idle.timer = window.setTimeout(function () { if (idle.last === since) sessionEnded(); }, Math.max(endAt - Date.now(), 0));
            }
        });
        tick();
        idle.countdown = window.setInterval(tick, 1000);
    }

    // ---------------------------------------------------------------- kept form

    // A dialog opened with keep: {view, form, id} is saved when the session
    // ends under it: its fields' values, never a password or one-time code.
    // After the same user logs in again, a banner offers it back; the view's
    // reopen(form, id) hook opens it and the values are put back in order.
    var KEPT_KEY = 'kvm.kept';

    function keptForm() {
        try { return JSON.parse(window.sessionStorage.getItem(KEPT_KEY) || 'null'); } catch (e) { return null; }
    }

    function dropKeptForm() { window.sessionStorage.removeItem(KEPT_KEY); }

    function keepOpenForm() {
        // The form may lie under the idle warning.
        var dlg = kui.topDialog(function (d) { return !!d.options.keep; });
        var me = snap && snap.curUser;
        if (!dlg || !me) return;
        var values = [];
        dlg.$content.find('input, select, textarea').each(function () {
            var $f = $(this), name = $f.attr('name') || $f.attr('data-name');
            if (!name || this.type === 'password' || this.type === 'file' || $f.attr('autocomplete') === 'one-time-code') return;
            values.push([name, this.type === 'checkbox' ? this.checked : $f.val()]);
        });
        window.sessionStorage.setItem(KEPT_KEY, JSON.stringify({
            user: me.nm, title: dlg.options.title, keep: dlg.options.keep, values: values
        }));
    }

    function restoreKeptForm() {
        var kept = keptForm();
        dropKeptForm();
        var h = kept && hooksOf(kept.keep.view);
        if (!h || !h.reopen) return;
        h.reopen(kept.keep.form, kept.keep.id);
        var dlg = kui.topDialog();
        if (!dlg) return;
        // In the order of the form: a choice that redraws part of it (a new
        // user's group) comes before the fields it redraws.
        $.each(kept.values, function (i, nv) {
            var $f = dlg.$content.find('[name="' + nv[0] + '"], [data-name="' + nv[0] + '"]').first();
            if (!$f.length) return;
            if ($f.is(':checkbox')) { if ($f.prop('checked') !== nv[1]) $f.prop('checked', nv[1]).trigger('change'); }
            else if ($f.val() !== nv[1]) $f.val(nv[1]).trigger('change');
        });
        dlg.$content.find('input:visible, select:visible').first().focus();
    }

    // ---------------------------------------------------------------- login

    var $login, $app, layout, tabs;
    var frame = {};      // the frame's own parts: $user, $banner
    var built = [];      // the views of the current frame: [{id, hooks}] in tab order
    var clockOffset = 0, clockTimer = null;

    function showLogin(messageText, kind) {
        stopHealthPoll();
        kui.closeAllDialogs();
        if (clockTimer) { window.clearInterval(clockTimer); clockTimer = null; }
        $app.hide().empty();
        frame = {};
        built = [];
        snap = null;
        $login.empty().show();
        var $user = input('userNM', '', { autocomplete: 'username', id: 'kv-login-user' });
        var $pw = input('pw', '', { type: 'password', autocomplete: 'current-password', id: 'kv-login-pw' });
        var $msg = kui.el('div', { cls: 'kv-login-msg' });
        // Shown once the switch asks for the second factor's code; the
        // password typed before is kept until then.
        var $otp = input('otp', '', { autocomplete: 'one-time-code', inputmode: 'numeric', id: 'kv-login-otp' });
        var $otpRow = row(T('otpCode'), $otp).hide();
        var heldPw = null;
        if (messageText) $msg.addClass('kv-login-' + (kind || 'error')).text(messageText);
        var $langSel = select('lang', languageOptions(), lang).attr('aria-label', T('language')).on('change', function () {
            lang = pickLanguage($(this).val());
            keepLanguage(lang);
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
            $otpRow,
            kui.el('div', { cls: 'kv-login-actions' }, [submit.$el.attr('type', 'submit')]),
            kui.el('div', { cls: 'kv-login-lang' }, [$langSel])
        ]);
        $form.on('submit', function (e) {
            e.preventDefault();
            var name = $.trim($user.val());
            if (!name) { $msg.attr('class', 'kv-login-msg kv-login-error').text(T('nameEmpty')); return; }
            submit.enable(false);
            $msg.attr('class', 'kv-login-msg').text(T('loggingIn'));
            var pw = $pw.val() || heldPw || '';
            var otp = $otpRow.is(':visible') ? $.trim($otp.val()) : '';
            $pw.val('');
            $otp.val('');
            login(name, pw, otp).then(null, function (reply) {
                submit.enable(true);
                if (reply.retMsg === 'second factor code required') {
                    heldPw = pw;
                    $otpRow.show();
                    $msg.attr('class', 'kv-login-msg kv-login-info').text(serverText(reply.retMsg));
                    $otp.focus();
                    return;
                }
                heldPw = null;
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

    function login(name, pw, otp) {
        session.clear();
        firstLoginPrompted = false;
        var members = { userNM: name, pw: pw, timezone: browserTimezone() };
        if (otp) members.otp = otp;
        return call('login', members, { quiet: true })
            .then(function (reply) {
                var me = reply.curUser || {};
                session.set({ id: me.id, token: me.token, nm: me.nm, userID: me.id });
                // A login that succeeds with a message: the password has
                // expired. That prompt replaces the first-login one.
                if (reply.retMsg) firstLoginPrompted = true;
                showApp();
                // The person starts at the tab strip, one Tab before the view.
                if (tabs && tabs.selected()) tabs.items[tabs.selected()].$title.focus();
                if (reply.retMsg) changeOwnPassword(serverText(reply.retMsg));
                else if (reply.firstLogin === true) { firstLoginPrompted = true; requirePasswordChange(); }
                else if (reply.totpEnrol === true) requireEnrolment();
                return reply;
            });
    }

    // The switch wants this administrator to set up a second factor before
    // anything else: the setup tab opens, with the reason in the status line.
    function requireEnrolment() {
        if (!tabs || !tabs.items['second-factor']) return;
        tabs.select('second-factor');
        tabs.items['second-factor'].$title.focus();
        showStatus(serverText(ENROL_FIRST));
    }

    function logout() {
        stopIdle();
        dropKeptForm();
        call('logout', {}, { quiet: true }).always(function () {
            session.clear();
            showLogin(T('loggedOut'), 'info');
        });
    }

    // The program refused the session: logged in elsewhere or idle too long.
    function sessionEnded() {
        keepOpenForm();
        stopIdle();
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
        kui.dialogTexts = { ok: T('ok'), cancel: T('cancel'), close: T('close'), busy: T('saving'), stillBusy: T('stillSaving') };
        document.title = T('appTitle');
        $('html').attr('lang', lang);
    }

    // ---------------------------------------------------------------- view table

    // The tabs in their order. Each is the module views/<id>.js, titled by the
    // text tab_<id>; minLevel is the lowest group level that gets the tab
    // (1 user, 2 administrator, 3 super administrator) and `when`, where
    // given, a further condition on the configuration (app.snap).
    //
    // A view module exports build($panel): it fills the tab's panel (the core
    // is window.kvCore, see `app` below) and returns its hooks, each optional:
    //   render()  after every reply that carries the configuration,
    //   tick()    every second (the switch clock),
    //   shown()   each time its tab is selected, and when the frame is built
    //             with its tab selected.
    // It may export texts = {en: {...}, de: {...}, ...}: keys its language
    // file lacks; otherwise its texts sit in lib/language.js under one key
    // prefix. A new view is one module plus one line here.
    var VIEWS = [
        { id: 'consoles', minLevel: 1 },
        { id: 'users', minLevel: 3 },
        { id: 'groups', minLevel: 3 },
        { id: 'network', minLevel: 3 },
        { id: 'security', minLevel: 3 },
        { id: 'directory', minLevel: 3 },
        { id: 'log', minLevel: 2 },
        { id: 'system', minLevel: 2 },
        { id: 'sessions', minLevel: 1 },
        { id: 'second-factor', minLevel: 1 }
    ];

    var viewModules = {};    // id -> loaded module
    // Views are found beside this script, wherever the page shell puts it.
    var VIEW_BASE = (document.currentScript && document.currentScript.src) || window.location.href;

    // Loads every view module once; rejected when one cannot be loaded.
    function loadViews() {
        return Promise.all($.map(VIEWS, function (v) {
            return import(new URL('views/' + v.id + '.js', VIEW_BASE).href).then(function (m) {
                viewModules[v.id] = m;
                addTexts(m.texts);
            });
        }));
    }

    // Adds a module's own texts to the languages, never replacing a text
    // that lib/language.js already has.
    function addTexts(texts) {
        $.each(texts || {}, function (code, keys) {
            if (!LANGS[code]) return;
            LANGS[code].texts = $.extend({}, keys, LANGS[code].texts || {});
        });
    }

    // The views the logged-in user has anything to do in.
    function myViews() {
        var level = myLevel();
        return $.grep(VIEWS, function (v) { return level >= v.minLevel && (!v.when || v.when(app)); });
    }

    // The tab the address names (#log), or null.
    function hashTab() {
        var id = window.location.hash.replace(/^#/, '');
        return /^[a-z0-9-]+$/.test(id) ? id : null;
    }

    $(window).on('hashchange', function () {
        var id = hashTab();
        if (tabs && id && tabs.items[id] && tabs.selected() !== id) tabs.select(id);
    });

    function hooksOf(id) {
        var found = null;
        $.each(built, function (i, b) { if (b.id === id) found = b.hooks; });
        return found;
    }

    function eachView(hook) {
        $.each(built, function (i, b) { if (b.hooks[hook]) b.hooks[hook](); });
    }

    function showApp() {
        frame = {};
        built = [];
        $login.hide().empty();
        $app.show();
        // The address names the tab to show (it follows every choice of tab).
        var current = hashTab() || (tabs ? tabs.selected() : null);
        layout = $app.kuiLayout({ title: T('appTitle') });
        var $user = kui.el('span', { cls: 'kv-user' });
        var refresh = kui.button({ text: T('refresh'), name: 'refresh', click: function () {
            layout.center().attr('aria-busy', 'true');
            // Up to date only when the switch service answers: the stored
            // configuration alone does not say what the consoles are doing.
            busyCall(refresh, 'ref').then(function () {
                eachView('refresh');
                return checkHealth().then(function (h) { notify(h.reachable ? T('refreshed') : T('healthDown')); });
            }).always(function () { if (layout) layout.center().removeAttr('aria-busy'); });
        } });
        layout.tools().append(
            $user,
            kui.button({ text: T('changePassword'), name: 'own-password', click: function () { changeOwnPassword(); } }).$el,
            refresh.$el,
            kui.button({ text: T('logout'), name: 'logout', click: logout }).$el
        );
        frame.$user = $user;
        frame.$banner = kui.el('div', { cls: 'kv-banners' });
        var $kept = kui.el('div', { cls: 'kv-kept' });
        var $status = kui.el('div', { id: 'kv-status', cls: 'kv-status', role: 'status', 'aria-live': 'polite' });
        var $tabs = kui.el('div', { cls: 'kv-tabs' });
        frame.$health = kui.el('div', { cls: 'kv-health', 'data-name': 'health', role: 'status', 'aria-live': 'polite' });
        layout.center().append(frame.$health, frame.$banner, $kept, $status, $tabs);
        renderHealth();
        startHealthPoll();
        var mine = myViews();
        tabs = $tabs.kuiTab({ tabs: $.map(mine, function (v) { return { id: v.id, title: T('tab_' + v.id) }; }) });
        $.each(mine, function (i, v) {
            built.push({ id: v.id, hooks: viewModules[v.id].build(tabs.panel(v.id)) || {} });
        });
        $kept.append(keptBanner());
        tabs.on('select', function (id) {
            // The address names the tab, so a reload or a bookmark opens it again.
            if (window.history.replaceState) window.history.replaceState(null, '', '#' + id);
            var h = hooksOf(id);
            if (h && h.shown) h.shown();
        });
        var first = tabs.selected();
        if (current) tabs.select(current);
        if (tabs.selected() === first) { var h = hooksOf(first); if (h && h.shown) h.shown(); }
        if (window.history.replaceState) window.history.replaceState(null, '', '#' + tabs.selected());
        if (snap) render();
        noteActivity();
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
        // The idle limit may have changed with the user's settings.
        if (idle.timer && !idle.dlg) scheduleIdle();
        var t = parseServerTime(reply.serverTime);
        if (t) clockOffset = t.getTime() - Date.now();
        if ($app && $app.is(':visible')) render();
    }

    function parseServerTime(text) {
        var m = /^(\d{4})-(\d{2})-(\d{2}) (\d{2}):(\d{2}):(\d{2})$/.exec(kui.str(text));
        return m ? new Date(+m[1], +m[2] - 1, +m[3], +m[4], +m[5], +m[6]) : null;
    }

    function render() {
        if (!snap || !frame.$user) return;
        var me = snap.curUser || {};
        frame.$user.text(Tf('loggedInAs', me.nm, me.privNM));
        layout.title(T('appTitle') + (snap.server && snap.server.nm ? ' \u2014 ' + snap.server.nm : ''));
        renderBanners();
        renderStatus();
        eachView('render');
        if (snap.firstLogin === true && !firstLoginPrompted) {
            firstLoginPrompted = true;
            requirePasswordChange();
        }
    }

    // The offer of a form kept when the session ended, to the same user only.
    function keptBanner() {
        var kept = keptForm();
        var me = snap && snap.curUser;
        if (!kept) return null;
        if (!me || kept.user !== me.nm || !hooksOf(kept.keep.view)) { dropKeptForm(); return null; }
        var $b = kui.el('div', { cls: 'kv-banner kv-banner-warning', 'data-name': 'kept', role: 'region', 'aria-label': T('keptTitle') });
        var restore = kui.button({ text: T('keptRestore'), kind: 'primary', name: 'kept-restore', click: function () {
            $b.remove(); restoreKeptForm();
        } });
        var discard = kui.button({ text: T('keptDiscard'), name: 'kept-discard', click: function () {
            $b.remove(); dropKeptForm(); if (tabs) tabs.items[tabs.selected()].$title.focus();
        } });
        return $b.append(kui.el('span', { text: Tf('keptOffer', kept.title) + ' ' }), restore.$el, discard.$el);
    }

    function renderBanners() {
        var $b = frame.$banner.empty();
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
        eachView('tick');
    }


    // ---------------------------------------------------------------- switch health

    // The health line: whether the switch service answers, polled every 30 s
    // while the page is visible. The poll does not extend the session (the
    // program does not count it as the person's request), so an idle page
    // still times out.
    var HEALTH_POLL_MS = 30000;
    var health = null;           // the last report, or null before the first
    var healthTimer = null;

    addTexts({
        en: { healthUp: 'Switch reachable', healthDown: 'Switch not reachable',
              healthLast: 'last exchange {0}: {1}', healthUnknown: 'Switch state unknown' },
        de: { healthUp: 'Switch erreichbar', healthDown: 'Switch nicht erreichbar',
              healthLast: 'letzter Austausch {0}: {1}', healthUnknown: 'Zustand des Switches unbekannt' },
        zh: { healthUp: '\u4ea4\u6362\u673a\u53ef\u8fbe', healthDown: '\u4ea4\u6362\u673a\u4e0d\u53ef\u8fbe',
              healthLast: '\u4e0a\u6b21\u901a\u4fe1 {0}\uff1a{1}', healthUnknown: '\u4ea4\u6362\u673a\u72b6\u6001\u672a\u77e5' }
    });

    // Asks the program; resolves with the report, a failed call reading as
    // not reachable. A closed session ends the page's session as any call does.
    function checkHealth() {
        var d = $.Deferred();
        call('health', {}, { quiet: true, noSnapshot: true }).then(function (reply) {
            health = reply.health || { reachable: false };
        }, function (reply) {
            if (reply.retMsg === SESSION_GONE) { sessionEnded(); return; }
            health = { reachable: false, connect: serverText(reply.retMsg) };
        }).always(function () {
            renderHealth();
            d.resolve(health || { reachable: false });
        });
        return d.promise();
    }

    function renderHealth() {
        if (!frame.$health) return;
        var $h = frame.$health;
        if (!health) { $h.text(T('healthUnknown')).attr('data-state', 'unknown'); return; }
        var text = health.reachable ? T('healthUp') : T('healthDown');
        var ex = health.exchange;
        if (ex && ex.time) text += ' \u00b7 ' + Tf('healthLast', ex.time, serverText(ex.outcome));
        if (!health.reachable && health.connect && health.connect !== 'ok') text += ' \u00b7 ' + serverText(health.connect);
        $h.text(text).attr('data-state', health.reachable ? 'up' : 'down');
    }

    function startHealthPoll() {
        if (healthTimer) return;
        checkHealth();
        healthTimer = window.setInterval(function () {
            if (document.visibilityState === 'visible' && session.get()) checkHealth();
        }, HEALTH_POLL_MS);
        // Back on a hidden page: a report at once instead of one up to 30 s old.
        $(document).on('visibilitychange.kvHealth', function () {
            if (document.visibilityState === 'visible' && session.get() && healthTimer) checkHealth();
        });
    }

    function stopHealthPoll() {
        if (healthTimer) window.clearInterval(healthTimer);
        healthTimer = null;
        health = null;
        $(document).off('visibilitychange.kvHealth');
    }

    // ---------------------------------------------------------------- file transfers

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


    // ---------------------------------------------------------------- what views use

    function setLanguage(code) {
        lang = pickLanguage(code);
        keepLanguage(lang);
        applyLanguage();
        showApp();
    }

    // The calendar texts of the current language (jQuery UI's datepicker).
    function calendar() {
        return $.datepicker ? $.datepicker.regional[lang === 'zh' ? 'zh-CN' : (lang === 'en' ? '' : lang)] : null;
    }

    // The switch's time now, from its last reported time.
    function serverNow() { return new Date(Date.now() + clockOffset); }

    var app = {
        kui: kui, T: T, Tf: Tf, serverText: serverText, reasonText: reasonText,
        call: call, busyCall: busyCall, dialogCall: dialogCall, notify: notify, sessionEnded: sessionEnded,
        transfer: transfer, sessionFields: sessionFields, session: session,
        row: row, labelFor: labelFor, input: input, select: select, field: field, toolbar: toolbar,
        section: section, formError: formError,
        isIPv4: isIPv4, isPort: isPort, moduleKind: moduleKind, kindName: kindName, tableName: tableName,
        isFactory: isFactory, myLevel: myLevel, myRightOn: myRightOn,
        rightsEditor: rightsEditor, rightsSummary: rightsSummary,
        passwordFields: passwordFields, passwordDepth: passwordDepth, userParaFrom: userParaFrom,
        languageOptions: languageOptions, setLanguage: setLanguage, calendar: calendar, serverNow: serverNow,
        SESSION_GONE: SESSION_GONE, CGI_URL: CGI_URL, CODE_VALUES: CODE_VALUES, FRAME_VALUES: FRAME_VALUES,
        RIGHT_NONE: RIGHT_NONE, RIGHT_READ: RIGHT_READ, RIGHT_WRITE: RIGHT_WRITE
    };
    // The configuration and the language change with every reply and choice.
    Object.defineProperty(app, 'snap', { get: function () { return snap; } });
    Object.defineProperty(app, 'lang', { get: function () { return lang; } });
    window.kvCore = app;

    // ---------------------------------------------------------------- start

    $(function () {
        $login = $('#kv-login');
        $app = $('#kv-app');
        if (!$login.length) $login = kui.el('div', { id: 'kv-login' }).appendTo('body');
        if (!$app.length) $app = kui.el('div', { id: 'kv-app' }).appendTo('body');
        applyLanguage();
        loadViews().then(startSession, function () {
            $('#kv-loading').text(T('loadFailed'));
        });
    });

    function startSession() {
        $('#kv-loading').remove();
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
    }

    // For the smoke check and for debugging from the console.
    window.kvApp = {
        call: call, snapshot: function () { return snap; }, language: function () { return lang; },
        passwordDepth: passwordDepth, isIPv4: isIPv4, moduleKind: moduleKind,
        logEntries: function (sth) { return viewModules.log.logEntries(sth); }
    };
})(window, jQuery);
