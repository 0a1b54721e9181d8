/*
 * Grid: a table of records with a header row, one selectable row at a time,
 * and sorting by clicking a column header.
 *
 *   var g = $('#g').kuiGrid({
 *       columns: [{name: 'nm', display: 'Name', width: 120},
 *                 {display: 'State', render: function (row) { return $el or text; }}],
 *       emptyText: 'No entries'
 *   });
 *   g.setData(rows); g.selected(); g.on('select', fn); g.on('dblclick', fn);
 *
 * A column's cell shows render(row) when given (a jQuery element or text),
 * otherwise the text of row[name]. Text is always inserted as text.
 *
 * Keyboard: the grid is one stop of the Tab key (its selected row, else the
 * first), and a row that gets the focus is selected; Up/Down/Home/End move
 * the selection, Space selects, Enter emits 'activate' (the row's main
 * action) and Delete emits 'delete'. The sortable headers are one more stop:
 * Left/Right move between them, Enter or Space sorts. options.label names it.
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;

    var Grid = kui.extend(kui.Widget, function Grid($el, options) {
        kui.Widget.call(this, $el);
        this.options = options;
        this.columns = options.columns || [];
        this.rows = [];
        this.sortCol = -1;
        this.sortDesc = false;
        this.selectedIndex = -1;
        $el.empty().addClass('kui-grid');
        this.$table = kui.el('table', { cls: 'kui-grid-table', role: 'grid', 'aria-label': options.label });
        var self = this;
        this.$table.on('keydown', 'tbody tr', function (e) { self.onKey(e); });
        // Focus on a row selects it: what the keyboard points at is what the
        // buttons act on.
        this.$table.on('focus', 'tbody tr', function () {
            var i = self.$body.children('tr').index(this);
            if (i >= 0 && i !== self.selectedIndex && self.view[i]) self.select(i);
        });
        this.$table.on('keydown', 'thead th.kui-grid-sortable', function (e) { self.onHeadKey(e, this); });
        this.$head = kui.el('thead');
        this.$body = kui.el('tbody');
        this.$table.append(this.$head, this.$body);
        $el.append(this.$table);
        this.renderHead();
        this.renderBody();
    }, {
        renderHead: function () {
            var self = this;
            var $tr = kui.el('tr');
            var stop = this.sortCol >= 0 ? this.sortCol : -1;
            $.each(this.columns, function (i, col) {
                var $th = kui.el('th', { text: col.display || '', scope: 'col', 'data-col': i });
                if (col.width) $th.css('width', col.width);
                if (col.name && col.sortable !== false) {
                    if (stop < 0) stop = i;
                    $th.addClass('kui-grid-sortable').attr({ tabindex: i === stop ? 0 : -1,
                        'aria-sort': self.sortCol === i ? (self.sortDesc ? 'descending' : 'ascending') : 'none' })
                        .on('click', function () { self.sortBy(i); });
                    if (self.sortCol === i) $th.addClass(self.sortDesc ? 'kui-grid-desc' : 'kui-grid-asc');
                }
                $tr.append($th);
            });
            this.$head.empty().append($tr);
        },
        onHeadKey: function (e, th) {
            var $all = this.$head.find('th.kui-grid-sortable');
            var at = $all.index(th);
            if (e.which === 13 || e.which === 32) {
                e.preventDefault();
                this.sortBy(+$(th).attr('data-col'));
                this.$head.find('th[data-col="' + $(th).attr('data-col') + '"]').focus();
                return;
            }
            var to = { 37: at - 1, 39: at + 1, 36: 0, 35: $all.length - 1 }[e.which];
            if (to === undefined) return;
            e.preventDefault();
            to = Math.max(0, Math.min($all.length - 1, to));
            $all.attr('tabindex', -1).eq(to).attr('tabindex', 0).focus();
        },
        // Cell text used for sorting: numbers compare as numbers.
        sortKey: function (row, col) {
            var v = kui.str(row[col.name]);
            return (/^-?\d+(\.\d+)?$/).test(v) ? parseFloat(v) : v.toLowerCase();
        },
        sortBy: function (i) {
            this.sortDesc = (this.sortCol === i) ? !this.sortDesc : false;
            this.sortCol = i;
            this.renderHead();
            this.renderBody();
        },
        setData: function (rows) {
            var keep = this.selected();
            // New data replaces the rows: a row that had the focus hands it on.
            var hadFocus = $.contains(this.$body[0], document.activeElement);
            this.rows = kui.list(rows).slice();
            this.selectedIndex = -1;
            this.renderBody();
            var idFn = this.options.rowId;
            if (keep && idFn) {
                for (var i = 0; i < this.view.length; i++) {
                    if (idFn(this.view[i]) === idFn(keep)) { this.select(i, true); break; }
                }
            }
            if (hadFocus) this.$body.children('tr[tabindex="0"]').first().focus();
        },
        renderBody: function () {
            var self = this;
            this.view = this.rows.slice();
            if (this.sortCol >= 0) {
                var col = this.columns[this.sortCol];
                var dir = this.sortDesc ? -1 : 1;
                this.view.sort(function (a, b) {
                    var x = self.sortKey(a, col), y = self.sortKey(b, col);
                    if (typeof x !== typeof y) { x = String(x); y = String(y); }
                    return x < y ? -dir : (x > y ? dir : 0);
                });
            }
            this.$body.empty();
            if (!this.view.length) {
                this.$body.append(kui.el('tr', { cls: 'kui-grid-empty' }, [
                    kui.el('td', { colspan: this.columns.length, text: this.options.emptyText || '' })
                ]));
                return;
            }
            $.each(this.view, function (r, row) {
                var $tr = kui.el('tr', {
                    tabindex: r === 0 ? 0 : -1, 'aria-selected': 'false',
                    'data-row-id': self.options.rowId ? kui.str(self.options.rowId(row)) : null,
                    on: {
                        click: function () { self.select(r); },
                        dblclick: function () { self.select(r); self.emit('dblclick', row); }
                    }
                });
                $.each(self.columns, function (c, col) {
                    // The column's name goes with each cell for narrow screens,
                    // where a record may be shown stacked (the page's style).
                    var $td = kui.el('td', { 'data-label': col.display || null });
                    if (col.align) $td.css('text-align', col.align);
                    var v = col.render ? col.render(row) : row[col.name];
                    if (v && v.jquery) $td.append(v); else $td.text(kui.str(v));
                    $tr.append($td);
                });
                self.$body.append($tr);
            });
        },
        select: function (i, quiet) {
            if (i < 0 || i >= this.view.length) return;
            this.selectedIndex = i;
            var $rows = this.$body.children('tr');
            $rows.removeClass('kui-selected').attr({ 'aria-selected': 'false', tabindex: -1 });
            $rows.eq(i).addClass('kui-selected').attr({ 'aria-selected': 'true', tabindex: 0 });
            if (!quiet) this.emit('select', this.view[i]);
        },
        onKey: function (e) {
            if (!this.view.length) return;
            var i = this.selectedIndex < 0 ? 0 : this.selectedIndex;
            var last = this.view.length - 1;
            var to = { 38: i - 1, 40: i + 1, 36: 0, 35: last }[e.which];
            if (e.which === 32) to = i;
            if (to !== undefined) {
                e.preventDefault();
                to = Math.max(0, Math.min(last, to));
                this.select(to);
                this.$body.children('tr').eq(to).focus();
            } else if (e.which === 13 || e.which === 46) {
                e.preventDefault();
                if (this.selectedIndex < 0) this.select(i);
                this.emit(e.which === 13 ? 'activate' : 'delete', this.view[this.selectedIndex]);
            }
        },
        selected: function () {
            return this.selectedIndex >= 0 ? this.view[this.selectedIndex] : null;
        },
        destroyContent: function () { this.$el.empty(); }
    });

    kui.inject('Grid', Grid);
})(window, jQuery);
