/*
 * Log view: the switch's records, a page at a time and newest first, with
 * filters, readable details and the CSV export.
 */
const app = window.kvCore;
const $ = window.jQuery;
const { kui, T, Tf, input, select, labelFor, section, call, notify, transfer, sessionFields, sessionEnded, serverText,
    SESSION_GONE } = app;

// Entries of a log record's detail text: [{nm, v1, v2?}], or [] when the
// text is no list.
export function logEntries(sth) {
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
    btn.busy(true);
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
        .always(function () { btn.busy(false); });
}

export function build($p) {
    var cal = app.calendar();
    var $user = input('logUser', '', { placeholder: T('anyUser') });
    var $from = kui.el('span');
    var $to = kui.el('span');
    var from = $from.kuiDateEditor({ calendar: cal, id: kui.uid('f'), pickLabel: Tf('log_pick', T('from')) });
    var to = $to.kuiDateEditor({ calendar: cal, id: kui.uid('f'), pickLabel: Tf('log_pick', T('to')) });
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
            var before = next ? rows.length : 0;
            rows = next ? rows.concat(kui.list(reply.log)) : kui.list(reply.log);
            more = reply.more === true;
            grid.setData(rows);
            var total = reply.total;
            $count.text(rows.length && total !== undefined ? Tf('log_range', 1, rows.length, total) :
                more ? Tf('logCountMore', rows.length) : rows.length === 1 ? T('logCountOne') : Tf('logCount', rows.length));
            older.$el.toggle(more);
            loaded = true;
            // Older records: the focus goes to the first of them.
            if (next && rows.length > before) grid.$body.children('tr').eq(before).focus();
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
    return { shown: function () { if (!loaded) load(false); } };
}

export const texts = {
    en: { log_range: '{0}\u2013{1} of {2}', log_pick: 'Calendar: {0}' },
    de: { log_range: '{0}\u2013{1} von {2}', log_pick: 'Kalender: {0}' }
};
