// The boolean feedbacks, in one table: id → name, options, default style and the test that
// answers it from the show ({ state, streaming }) and the feedback's options.
import { combineRgb } from '@companion-module/base'
import { secondsShown } from './state.js'

export const COLORS = {
	white: combineRgb(255, 255, 255),
	black: combineRgb(0, 0, 0),
	green: combineRgb(0, 150, 60),
	amber: combineRgb(230, 150, 0),
	red: combineRgb(200, 0, 0),
	darkRed: combineRgb(110, 0, 0),
	blue: combineRgb(0, 90, 200),
	grey: combineRgb(50, 50, 50),
}

const PHASES = ['idle', 'standby', 'op', 'main', 'break', 'ending']

export const FEEDBACKS = {
	phase: {
		name: 'Phase is …',
		options: [
			{
				type: 'dropdown',
				id: 'phase',
				label: 'Phase',
				choices: PHASES.map((phase) => ({ id: phase, label: phase })),
				default: 'standby',
			},
		],
		style: { bgcolor: COLORS.green, color: COLORS.white },
		test: ({ state }, o) => state.phase === o.phase,
	},
	held: {
		name: 'Held',
		style: { bgcolor: COLORS.red, color: COLORS.white },
		test: ({ state }) => Boolean(state.held),
	},
	armed: {
		name: 'Armed',
		style: { bgcolor: COLORS.blue, color: COLORS.white },
		test: ({ state }) => Boolean(state.armed),
	},
	counting: {
		name: 'A countdown runs',
		style: { bgcolor: COLORS.green, color: COLORS.white },
		test: ({ state }) => Boolean(state.counting),
	},
	time_below: {
		name: 'Time left below N seconds',
		options: [{ type: 'number', id: 'seconds', label: 'Seconds', default: 60, min: 1, max: 86400 }],
		style: { bgcolor: COLORS.amber, color: COLORS.black },
		test: ({ state }, o) => {
			const shown = secondsShown(state.time_left)
			return shown !== '' && shown < o.seconds
		},
	},
	problem: {
		name: 'A problem is shown',
		style: { bgcolor: COLORS.red, color: COLORS.white },
		test: ({ state }) => Boolean(state.problem),
	},
	streaming: {
		name: 'OBS streams',
		style: { bgcolor: COLORS.red, color: COLORS.white },
		test: ({ streaming }) => streaming,
	},
}

// Companion's definitions; show() gives the show at the time Companion asks.
export function feedbackDefinitions(show) {
	return Object.fromEntries(
		Object.entries(FEEDBACKS).map(([id, feedback]) => [
			id,
			{
				type: 'boolean',
				name: feedback.name,
				options: feedback.options ?? [],
				defaultStyle: feedback.style,
				callback: (event) => feedback.test(show(), event.options),
			},
		]),
	)
}
